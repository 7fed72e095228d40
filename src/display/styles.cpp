#include "app/Un_subri1.h"

void TForm1::Button11Click() {}
void TForm1::Button12Click() {}
void TForm1::Button13Click() {}
void TForm1::Button14Click() {}
void TForm1::Button28Click() {}
void TForm1::Button7Exit() {}
