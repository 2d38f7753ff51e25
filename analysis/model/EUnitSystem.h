// The unit system a document works in.
#pragma once

// 0 SI (lengths in centimetres), 1 US customary (lengths in inches, forces in
// pounds-force). A stored model value of 2 means no system chosen yet.
enum EUnitSystem : int {
  SI = 0,
  USCS = 1,
};
