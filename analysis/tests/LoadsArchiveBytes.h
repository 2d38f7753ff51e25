// Building expected archive bytes by hand, and storing/loading through a
// memory file, for the tests of loads, load conditions and the grid.
#pragma once

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "analysis/tests/TestSupport.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"

namespace loads_test {

using test_support::Bytes;
using test_support::loaded;
using test_support::stored;

// Little-endian bytes in the archive's layout, appended field by field.
class ByteBuilder {
 public:
  ByteBuilder& i32(int v) { return raw(&v, 4); }
  ByteBuilder& u16(unsigned short v) { return raw(&v, 2); }
  ByteBuilder& f64(double v) { return raw(&v, 8); }
  ByteBuilder& byte(BYTE v) { return raw(&v, 1); }
  // A short wide string: FF FE FF, the length byte, then UTF-16LE units
  // (ASCII text only).
  ByteBuilder& str(const std::string& ascii) {
    byte(0xFF).u16(0xFFFE).byte(static_cast<BYTE>(ascii.size()));
    for (char c : ascii)
      u16(static_cast<unsigned short>(c));
    return *this;
  }
  // A new class tag: FFFF, schema, name length and the ASCII name.
  ByteBuilder& newClass(const std::string& name, unsigned short schema = 1) {
    u16(0xFFFF).u16(schema).u16(static_cast<unsigned short>(name.size()));
    return raw(name.data(), name.size());
  }
  const Bytes& bytes() const { return m_bytes; }

 private:
  ByteBuilder& raw(const void* p, std::size_t n) {
    const BYTE* b = static_cast<const BYTE*>(p);
    m_bytes.insert(m_bytes.end(), b, b + n);
    return *this;
  }
  Bytes m_bytes;
};



}  // namespace loads_test
