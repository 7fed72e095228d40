#include "app/Un_subri1.h"

void TForm1::Button30Click() {}
void TForm1::Button31Click() {}
void TForm1::Button36Click() {}
void TForm1::Button37Click() {}
void TForm1::Button38Click() {}
void TForm1::Button39Click() {}
void TForm1::Button41Click() {}
