#include "frontend/FrontEndServices.h"

void ShowFrontEnd()
{
    // The main menu window is built by the front end once the GUI exists.
}
