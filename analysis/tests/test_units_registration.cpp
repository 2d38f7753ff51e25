// Classes of the library found by name in the framework's class registry.
#include <gtest/gtest.h>

#include <memory>

#include "analysis/model/ClassRegistration.h"
#include "platform/core/CObject.h"

// Every library class registered so far must be creatable by name with
// schema 1; classes whose code is not in the library yet are skipped.
TEST(UnitsRegistration, RegisteredClassesAreCreatableByName) {
  for (const char* name : kAnalysisSerialClasses) {
    CRuntimeClass* cls = CRuntimeClass::FromName(name);
    if (cls == nullptr) continue;
    EXPECT_STREQ(cls->m_lpszClassName, name);
    EXPECT_EQ(cls->Schema(), 1u) << name;
    ASSERT_NE(cls->m_pfnCreateObject, nullptr) << name;
    std::unique_ptr<CObject> object(cls->CreateObject());
    ASSERT_NE(object, nullptr) << name;
    EXPECT_EQ(object->GetRuntimeClass(), cls) << name;
  }
}
