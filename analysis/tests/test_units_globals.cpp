// Load values of the library's globals and the first generated id and name.
#include <gtest/gtest.h>

#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"

namespace {

// What the globals hold when the test program starts, and the first id and
// name handed out. Taken during static initialisation, before any test can
// change them; the counters are put back afterwards.
struct AtStart {
  double epsilon = gEpsilon;
  double integrationTol = gIntegrationTol;
  double insectTol = gInsectTol;
  double overlapTol = gOverlapTol;
  double extractTol = gExtractTol;
  double acceptableError = gAcceptableError;
  double warningError = gWarningError;
  double splitTol = QHTgSplitTol;
  int majorVersion = gMajorVersion;
  int minorVersion = gMinorVersion;
  int fileVersion = gFileVersion;
  EUnitSystem unitSystem = gUnitSystem;
  CModel* model = gModel;
  bool runningScript = gRunningScript;
  bool showAnimation = gShowAnimation;
  bool defaultMatlEmpty = !gDefaultMatl && !gDefaultMatl2;
  bool logMsgEmpty = gLogMsg.IsEmpty();
  CSize embedSize = gEmbedSizePixels;
  CString baseName = getBaseName();
  int firstId = 0;
  CString firstName;

  AtStart() {
    firstId = uniqueID();
    uniqueID(firstId);
    firstName = nameGen();
    setBaseName(baseName);
  }
};

const AtStart atStart;

}  // namespace

TEST(UnitsGlobals, LoadValues) {
  EXPECT_EQ(atStart.epsilon, 1e-11);
  EXPECT_EQ(atStart.integrationTol, 1e-7);
  EXPECT_EQ(atStart.insectTol, 1e-7);
  EXPECT_EQ(atStart.overlapTol, 1e-6);
  EXPECT_EQ(atStart.extractTol, 1e-6);
  EXPECT_EQ(atStart.acceptableError, 0.0);
  EXPECT_EQ(atStart.warningError, 0.0);
  EXPECT_EQ(atStart.splitTol, 0.0);
  EXPECT_EQ(atStart.majorVersion, 0);
  EXPECT_EQ(atStart.minorVersion, 0);
  EXPECT_EQ(atStart.fileVersion, 2);
  EXPECT_EQ(atStart.unitSystem, SI);
  EXPECT_EQ(atStart.model, nullptr);
  EXPECT_FALSE(atStart.runningScript);
  EXPECT_FALSE(atStart.showAnimation);
  EXPECT_TRUE(atStart.defaultMatlEmpty);
  EXPECT_TRUE(atStart.logMsgEmpty);
  EXPECT_EQ(atStart.embedSize, CSize(0, 0));
  EXPECT_EQ(atStart.baseName, CString(L"aa$$"));
  EXPECT_EQ(gVelkin, 1);
}

TEST(UnitsGlobals, FirstIdAndName) {
  EXPECT_EQ(atStart.firstId, 1034);
  EXPECT_EQ(atStart.firstName, CString(L"ba$$"));
}
