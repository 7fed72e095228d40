#include "app/Un_subri1.h"

void TForm1::Button5Click() {}
void TForm1::Button6Click() {}
void TForm1::Button7Click() {}
void TForm1::Button8Click() {}
void TForm1::Button9Click() {}
void TForm1::Button10Click() {}
void TForm1::Button18Click() {}
void TForm1::Button19Click() {}
void TForm1::Button20Click() {}
void TForm1::Button21Click() {}
void TForm1::Button22Click() {}
void TForm1::Button23Click() {}
void TForm1::Button24Click() {}
void TForm1::Button25Click() {}
void TForm1::Button26Click() {}
void TForm1::Button27Click() {}
void TForm1::Button29Click() {}
void TForm1::Button32Click() {}
void TForm1::UpDown1Changing() {}
void TForm1::seigou_toriClick() {}
void TForm1::seigou_tori2Click() {}
void TForm1::Edit5MouseMove() {}
void TForm1::Edit10DblClick() {}
