// Feedback-buffer parsing.
#include "analysis/views/FeedbackParser.h"

#include <cmath>

#include "platform/gl/OpenGL.h"

namespace {

constexpr int kVertexValues = 11;  // x, y, z, colour[4], texture[4]

// A token or a vertex count as a whole number; -1 for a value no token
// or count can have (negative, huge or not a number), which ends the parse.
int wholeValue(float v) { return v >= 0.0f && v <= 1e8f ? static_cast<int>(v) : -1; }

FeedbackVertex readVertex(const float* v) {
    FeedbackVertex out;
    out.x = v[0];
    out.y = v[1];
    out.z = v[2];
    for (int i = 0; i < 4; ++i) {
        out.colour[i] = v[3 + i];
        out.texture[i] = v[7 + i];
    }
    return out;
}

class Parser {
public:
    Parser(float x, float y, const Point<float>& direction) : m_x(x), m_y(y) {
        m_d = direction * -1.0f;
        m_d.normalize();
    }

    // Considers the n vertices at v as one primitive.
    void primitive(const float* v, int n, float token) {
        for (int i = 0; i < n; ++i) consider(v + i * kVertexValues, token);
        const Point<float> p = position(v);
        const Point<float> q = position(v + (n > 1 ? 1 : 0) * kVertexValues);
        const Point<float> l = position(v + (n - 1) * kVertexValues);
        Point<float> normal = cross(q - p, l - p);
        const float length = normal.length();
        normal = length > 0.0f ? normal / length : Point<float>();
        m_result.reflection = m_d - normal * (2.0f * dot(normal, m_d));
        m_result.hasPrimitive = true;
    }

    FeedbackNearest result() const { return m_result; }

private:
    static Point<float> position(const float* v) { return {v[0], v[1], v[2]}; }

    void consider(const float* v, float token) {
        const double dx = double(v[0]) - m_x;
        const double dy = double(v[1]) - m_y;
        const double dz = double(v[2]);
        const double distance = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (m_result.found && !(distance < m_best)) return;
        m_best = distance;
        m_result.found = true;
        m_result.vertex = readVertex(v);
        m_result.token = token;
    }

    float m_x, m_y;
    Point<float> m_d;
    double m_best = 0.0;
    FeedbackNearest m_result;
};

}  // namespace

FeedbackNearest parseFeedback(const float* buffer, int capacity, int written, float x, float y,
                              const Point<float>& viewDirection) {
    Parser parser(x, y, viewDirection);
    const int n = written < 0 || written > capacity ? capacity : written;
    float token = 0.0f;
    int i = 0;
    while (buffer != nullptr && i < n) {
        const int kind = wholeValue(buffer[i++]);
        int vertices = 0;
        bool drawn = true;
        switch (kind) {
            case GL_PASS_THROUGH_TOKEN:
                if (i >= n) return parser.result();
                token = buffer[i++];
                continue;
            case GL_POINT_TOKEN:
                vertices = 1;
                break;
            case GL_BITMAP_TOKEN:
            case GL_DRAW_PIXEL_TOKEN:
            case GL_COPY_PIXEL_TOKEN:
                vertices = 1;
                drawn = false;  // a raster position, not a drawn vertex
                break;
            case GL_LINE_TOKEN:
            case GL_LINE_RESET_TOKEN:
                vertices = 2;
                break;
            case GL_POLYGON_TOKEN:
                if (i >= n) return parser.result();
                vertices = wholeValue(buffer[i++]);
                break;
            default:
                return parser.result();
        }
        if (vertices <= 0 || vertices > (n - i) / kVertexValues) return parser.result();
        if (drawn) parser.primitive(buffer + i, vertices, token);
        i += vertices * kVertexValues;
    }
    return parser.result();
}
