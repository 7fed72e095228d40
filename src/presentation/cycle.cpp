#include "app/Un_subri1.h"

void TForm1::Button1Click() {}
void TForm1::Button16Click() {}
void TForm1::Timer1Timer() {}
void TForm1::But_otoClick() {}
