// Entry point of the journal-to-MATLAB converter.
#include "pashwell/CPashwellApp.h"

wxIMPLEMENT_APP(CPashwellApp);
