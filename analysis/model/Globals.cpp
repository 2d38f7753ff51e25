// Definitions of the library's process-wide globals with their load values.
#include "analysis/model/Globals.h"

double gEpsilon = 1e-11;
double gIntegrationTol = 1e-7;
double gInsectTol = 1e-7;
double gOverlapTol = 1e-6;
double gExtractTol = 1e-6;
double gAcceptableError = 0.0;
double gWarningError = 0.0;
double QHTgSplitTol = 0.0;

int gMajorVersion = 0;
int gMinorVersion = 0;
int gFileVersion = 2;

EUnitSystem gUnitSystem = SI;
CModel* gModel = nullptr;

int gUniqueID = 1034;

bool gRunningScript = false;
bool gShowAnimation = false;

std::shared_ptr<CMetal> gDefaultMatl;
std::shared_ptr<CMetal> gDefaultMatl2;

extern const int gVelkin = 1;

CString gLogMsg;

CSize gEmbedSizePixels(0, 0);
