// Classes of the library found by name in the framework's class registry.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>

#include "analysis/model/ClassRegistration.h"
#include "platform/core/CObject.h"

namespace {

// The eighteen classes the library registers at load, in the documented order.
const char* const kDocumentedClasses[] = {
    "CBaseXSectionAnalysis", "Bspline",          "CCompositeCurve", "CSimpleDIB",
    "CGrid",                 "LightProperties",  "CLoad",           "CLoadCase",
    "CLoadCdnFactor",        "CLoadCombination", "CLoadCondition",  "CMaterial",
    "Matrix",                "CMetal",           "CModel",          "CNurbsSurface",
    "CPointForce",           "PowerSeries",
};

}  // namespace

TEST(UnitsRegistration, TheListNamesTheEighteenDocumentedClasses) {
  ASSERT_EQ(kAnalysisSerialClasses.size(), std::size(kDocumentedClasses));
  for (std::size_t i = 0; i < kAnalysisSerialClasses.size(); ++i)
    EXPECT_STREQ(kAnalysisSerialClasses[i], kDocumentedClasses[i]) << i;
}

// Every class of the library is creatable by name with schema 1.
TEST(UnitsRegistration, RegisteredClassesAreCreatableByName) {
  for (const char* name : kAnalysisSerialClasses) {
    CRuntimeClass* cls = CRuntimeClass::FromName(name);
    ASSERT_NE(cls, nullptr) << name << " is not registered";
    EXPECT_STREQ(cls->m_lpszClassName, name);
    EXPECT_EQ(cls->Schema(), 1u) << name;
    ASSERT_NE(cls->m_pfnCreateObject, nullptr) << name;
    std::unique_ptr<CObject> object(cls->CreateObject());
    ASSERT_NE(object, nullptr) << name;
    EXPECT_EQ(object->GetRuntimeClass(), cls) << name;
  }
}
