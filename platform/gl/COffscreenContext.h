// An OpenGL rendering context that draws into a memory buffer instead of a
// window: 32-bit pixels (red-green-blue-alpha or blue-green-red-alpha
// bytes), bottom row first like a device-independent bitmap, with a depth
// buffer. Any number of contexts may exist; one is current at a time, made
// current on demand before drawing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gl/OpenGL.h"

struct osmesa_context;  // the rendering library's context (GL/osmesa.h)

// Byte order of one pixel in the buffer.
enum class PixelOrder { RGBA, BGRA };

// One pixel read back from the buffer, whatever its byte order.
struct Rgba8 {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t alpha = 0;

  friend bool operator==(const Rgba8&, const Rgba8&) = default;
};

class COffscreenContext {
 public:
  // A context for a width x height buffer (zero-filled) in the given byte
  // order with depthBits of depth. It is not made current. When the
  // rendering library cannot create it, isValid() is false and nothing draws.
  COffscreenContext(int width, int height, PixelOrder order = PixelOrder::BGRA, int depthBits = 24);
  // Releases the context (no context is current afterwards if it was).
  ~COffscreenContext();
  COffscreenContext(const COffscreenContext&) = delete;
  COffscreenContext& operator=(const COffscreenContext&) = delete;

  // True when the context exists.
  bool isValid() const { return m_context != nullptr; }
  // Binds the context to its buffer as the thread's current context; false
  // when it is invalid or the buffer is empty (a zero width or height).
  bool makeCurrent();
  // True when this context is the thread's current one.
  bool isCurrent() const;
  // Leaves the thread without a current context.
  static void releaseCurrent();

  // Gives the buffer a new size (zero-filled); a current context is bound to
  // the new buffer at once. A change of size replaces the rendering context
  // by a new one that shares the old one's display lists and textures, so
  // those survive but every other GL state (matrices, viewport, enables,
  // colours) starts afresh: set it after a resize. (The rendering library
  // keeps internal buffers for every size a context was ever bound to until
  // that context ends; a fresh context per size keeps a window resize from
  // piling them up.) False when a current context cannot be rebound.
  bool resize(int width, int height);

  // Buffer width and height in pixels.
  int width() const { return m_width; }
  int height() const { return m_height; }
  // Byte order of the pixels.
  PixelOrder order() const { return m_order; }
  // Bytes per row (4 per pixel, no padding).
  std::size_t rowBytes() const { return static_cast<std::size_t>(m_width) * 4; }
  // The pixel bytes, bottom row first; complete after glFinish.
  const std::uint8_t* bits() const { return m_buffer.data(); }
  std::uint8_t* bits() { return m_buffer.data(); }
  // The pixel at column x, row y counted from the bottom (as OpenGL
  // counts); black transparent outside the buffer. Call glFinish first.
  Rgba8 pixel(int x, int y) const;

 private:
  osmesa_context* m_context = nullptr;
  std::vector<std::uint8_t> m_buffer;
  int m_width = 0;
  int m_height = 0;
  PixelOrder m_order;
  int m_depthBits;
};
