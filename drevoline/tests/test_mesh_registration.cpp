// Classes of the mesh library found by name in the framework's class registry.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "analysis/model/Globals.h"
#include "drevoline/mesh/MeshClassRegistration.h"
#include "platform/core/CObject.h"

TEST(MeshRegistration, EveryClassIsCreatableByNameWithItsSchema)
{
    CModel* const current = gModel;
    for (const char* name : kMeshSerialClasses) {
        CRuntimeClass* cls = CRuntimeClass::FromName(name);
        if (cls == nullptr) {
            // The finite-element model is not in the library yet.
            EXPECT_STREQ(name, "CFEModelAnalysis") << "not registered";
            continue;
        }
        EXPECT_STREQ(cls->m_lpszClassName, name);
        const bool node = std::strcmp(name, "CFENodeAnalysis") == 0;
        EXPECT_EQ(cls->Schema(), node ? 2u : 1u) << name;
        EXPECT_EQ(cls->IsVersionable(), node) << name;
        ASSERT_NE(cls->m_pfnCreateObject, nullptr) << name;
        std::unique_ptr<CObject> object(cls->CreateObject());
        ASSERT_NE(object, nullptr) << name;
        EXPECT_EQ(object->GetRuntimeClass(), cls) << name;
        // Creating a class by name never changes the current model.
        EXPECT_EQ(gModel, current) << name;
    }
}
