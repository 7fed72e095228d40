#include "app/Un_subri1.h"

void TForm1::bt_SizehenkouClick() {}
void TForm1::bt_size1_8Click() {}
void TForm1::bt_size1_5Click() {}
void TForm1::B18_gamen3sousaClick() {}
void TForm1::PageControl1Changing() {}
void TForm1::PageControl1Change() {}
void TForm1::FormResize() {}
void TForm1::Button17Click() {}
void TForm1::Button33Click() {}
void TForm1::Button34Click() {}
void TForm1::Button35Click() {}
