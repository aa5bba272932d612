#include "app/MorlenApp.h"

wxIMPLEMENT_APP(MorlenApp);
