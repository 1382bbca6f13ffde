#include "app/main.h"

void TForm1::composeVehicle() {}
