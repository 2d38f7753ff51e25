// Shared pieces of the plastic analyses of a sub-section: the step cap of
// their iterations and the failure they end with.
#pragma once

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CSectionForces.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CSubSection.h"

namespace plastic {

// No iteration of the plastic analyses takes more steps than this.
inline constexpr int kStepCap = 200;

// The failure of an iteration that used up its steps, naming the operation.
[[noreturn]] inline void notConverged(const char* operation) {
  throw std::logic_error(std::string("Plastic solution did not converge (") + operation + ")");
}


// A new section-forces load condition of that name, appended to s's list
// and made the applied one.
inline std::shared_ptr<CLoadCondition> newLoadCondition(CSubSection& s, const CString& name) {
  auto lc = std::make_shared<CLoadCondition>(SectionForces, name);
  lc->ScnLoadCondition(name);
  s.loadConditions.push_back(lc);
  s.curAppLC(lc);
  return lc;
}

// The section-forces load condition of that name, made when missing (a
// condition of that name without section forces is refused); it becomes
// the applied one.
inline std::shared_ptr<CLoadCondition> takeOrMakeLoadCondition(CSubSection& s, const CString& name) {
  std::shared_ptr<CLoadCondition> lc = s.findLoadCondition(name);
  if (!lc)
    return newLoadCondition(s, name);
  if (!lc->scnForces())
    throw std::logic_error("The load condition of that name holds no section forces.");
  s.curAppLC(lc);
  return lc;
}

// The largest force the meshed section can carry: every triangle at its
// metal's ultimate stress (L or LT); the scale of the force tests.
inline double forceCapacity(const CSubSection& s, bool L) {
  double total = 0.0;
  for (const CMesh* mesh : s.meshes)
    for (const auto& e : mesh->trng3Elements)
      if (e->material != nullptr)
        total += e->area() * std::fabs(e->material->ultimateStress(true, L));
  return total;
}

}  // namespace plastic
