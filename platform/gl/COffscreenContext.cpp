// Off-screen OpenGL contexts on Mesa's OSMesa.
#include "platform/gl/COffscreenContext.h"

#include <GL/osmesa.h>

namespace {

GLenum osmesaFormat(PixelOrder order) { return order == PixelOrder::RGBA ? OSMESA_RGBA : OSMESA_BGRA; }

std::size_t bufferBytes(int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

}  // namespace

COffscreenContext::COffscreenContext(int width, int height, PixelOrder order, int depthBits)
    : m_buffer(bufferBytes(width, height)),
      m_width(width > 0 && height > 0 ? width : 0),
      m_height(width > 0 && height > 0 ? height : 0),
      m_order(order),
      m_depthBits(depthBits) {
  m_context = OSMesaCreateContextExt(osmesaFormat(order), depthBits, 0, 0, nullptr);
}

COffscreenContext::~COffscreenContext() {
  if (m_context == nullptr) return;
  if (isCurrent()) releaseCurrent();
  OSMesaDestroyContext(m_context);
}

bool COffscreenContext::makeCurrent() {
  if (m_context == nullptr || m_buffer.empty()) return false;
  if (OSMesaMakeCurrent(m_context, m_buffer.data(), GL_UNSIGNED_BYTE, m_width, m_height) != GL_TRUE)
    return false;
  // Bottom row first, as in a device-independent bitmap.
  OSMesaPixelStore(OSMESA_Y_UP, 1);
  return true;
}

bool COffscreenContext::isCurrent() const {
  return m_context != nullptr && OSMesaGetCurrentContext() == m_context;
}

void COffscreenContext::releaseCurrent() { OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0); }

bool COffscreenContext::resize(int width, int height) {
  if (width <= 0 || height <= 0) width = height = 0;
  if (width == m_width && height == m_height) return true;
  const bool wasCurrent = isCurrent();
  if (wasCurrent) releaseCurrent();
  if (m_context != nullptr) {
    // A new context in the same share group: display lists carry over, the
    // library's buffers for the old size go with the old context.
    if (osmesa_context* fresh = OSMesaCreateContextExt(osmesaFormat(m_order), m_depthBits, 0, 0, m_context)) {
      OSMesaDestroyContext(m_context);
      m_context = fresh;
    }
  }
  m_buffer.assign(bufferBytes(width, height), 0);
  m_width = width;
  m_height = height;
  return !wasCurrent || makeCurrent();
}

Rgba8 COffscreenContext::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return {};
  const std::uint8_t* p = m_buffer.data() + static_cast<std::size_t>(y) * rowBytes() + static_cast<std::size_t>(x) * 4;
  if (m_order == PixelOrder::RGBA) return {p[0], p[1], p[2], p[3]};
  return {p[2], p[1], p[0], p[3]};
}
