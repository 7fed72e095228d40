#include "app/Un_subri1.h"

void TForm1::But4Click() {}
void TForm1::Button2Click() {}
