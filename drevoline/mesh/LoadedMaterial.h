// Material look-up for mesh and element records being loaded.
#pragma once

#include <memory>
#include <stdexcept>

#include "analysis/model/CMetal.h"
#include "analysis/model/CModel.h"
#include "analysis/model/Globals.h"
#include "platform/core/CString.h"

// The material called `name` in the model being loaded (`gModel`), or one the
// load may reuse, which that model's list then owns. Throws `missingText` as a
// logic error when there is no current model or no such material.
inline CMetal* loadedMaterial(const CString& name, const char* missingText)
{
    std::shared_ptr<CMetal> found = gModel ? gModel->loadedMaterial(name) : nullptr;
    if (!found)
        throw std::logic_error(missingText);
    return found.get();
}
