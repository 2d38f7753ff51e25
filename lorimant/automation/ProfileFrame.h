// The frame every profile builder shares: working name, parent, journal
// block and busy flag, view labels and redraw suspended, the profile
// sub-section and its pieces, the union shape with its defining points,
// placement, the journal line, one undo check-point, and the refresh.
// A build that fails before it is journalled leaves nothing behind.
#pragma once

#include <cmath>
#include <initializer_list>
#include <vector>

#include "analysis/geometry/Point.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "platform/core/CString.h"

class CShapeAnalysis;
class CSubSection;
class CXSectionAnalysis;

// The numeric arguments of a builder in argument order (the two indices
// as doubles); the texts come separately.
using ProfileValues = std::vector<double>;

// What distinguishes one profile kind in the frame.
struct ProfileKind {
    const wchar_t* method;  // the builder's name: journal block and journal line
    int kind;               // section kind and union-shape kind
    int points;             // number of defining points
    int count;              // number of numeric arguments
    int iorigAt;            // position of iorig among them; iDirection, x, y
                            // and rotation follow it
    const wchar_t* gap = L" ";  // between the method and its first text in the journal
};

// The builder's journal line: "xscn.<method><gap>"<first>","<name>"," then
// every value in order, the two indices with "%d" and the rest with "%g".
CString ProfileJournalLine(const ProfileKind& kind, const CString& first, const CString& name,
                           const ProfileValues& values);

// Refuses the build with a dispatch exception (code 1 unless given).
[[noreturn]] void RefuseProfile(const wchar_t* text, int code = 1);

// Refuses text (code 1) when fails.
inline void RefuseProfileIf(bool fails, const wchar_t* text)
{
    if (fails) RefuseProfile(text);
}

// Refuses (code 1) a flange whose straight part, what is left of its length
// after the web and the other pieces, is not positive: rule says which
// lengths must add up, and the text says by how much the flange falls short.
void RefuseShortFlange(double remainder, const wchar_t* rule);

// Refusal texts and limits that several builders share.
namespace ProfileText {
inline constexpr double kSquareToe = 0.001;  // a toe radius up to this leaves the toes square
inline constexpr const wchar_t* kAllLengths = L"All lengths must be greater than zero";
inline constexpr const wchar_t* kFlangeAngle = L"Flange angle cannot exceed 90 +/- 70 degrees";
inline constexpr const wchar_t* kUpperFillet = L"Upper Right fillet radius > web length or  upper rightFlangeLength";
inline constexpr const wchar_t* kRightFillet = L"Right fillet radius > web length or rightFlangeLength";
inline constexpr const wchar_t* kFlangeSum =
    L"Flange Length must be greater than the sum of web thickness, right flange length and fillet radius";
inline constexpr const wchar_t* kNoParent = L"Parent object is not defined";
inline constexpr const wchar_t* kFlangeSlope = L"Flange slope must be between 0 and 20 degrees";
// A flange angle more than 70 degrees off square.
inline bool angleOutOfRange(double angle) { return std::fabs(90.0 - angle) > 70.0; }
}  // namespace ProfileText

// Sine, cosine and tangent of an angle in degrees.
double SinDeg(double deg);
double CosDeg(double deg);
double TanDeg(double deg);

// Defining point k of a piece counted from 1 (the anchors of the tables).
Point<double> Anchor(const CShapeAnalysis& piece, int k);
// Defining point k of a piece counted from 0 (the defining-point lists).
Point<double> Corner(const CShapeAnalysis& piece, int k);
// The intersection of the line through a with direction u and the line
// through b with direction v (the sharp corners of formed profiles).
Point<double> Intersection(Point<double> a, Point<double> u, Point<double> b, Point<double> v);
// Counter-clockwise direction of to - from, in degrees.
double DirectionDeg(const Point<double>& from, const Point<double>& to);

// One build. Construct it inside the automation method; every failure that
// leaves it before finish() removes the partial profile and releases what
// begin() took; the view is restored on every path.
class ProfileBuild {
public:
    // Steps 2 and 3: the working name (name, or the next generated one when
    // empty); a sub-section of that name is refused with code 2.
    // The values must have the kind's count and all be finite (refused otherwise).
    ProfileBuild(CXSectionAnalysisDoc& doc, CXSectionAnalysis& model, const ProfileKind& kind,
                 const CString& name, const ProfileValues& values);
    ~ProfileBuild();
    ProfileBuild(const ProfileBuild&) = delete;
    ProfileBuild& operator=(const ProfileBuild&) = delete;

    // Step 4: the sub-section parentName; refuses emptyText for an empty
    // name and "Parent object not found:" followed by the name when none has it.
    CSubSection& requireParent(const CString& parentName, const wchar_t* emptyText);
    // Steps 5 and 7: journal blocked under the builder's name, busy flag set,
    // check-points held back, the view's labels off and its redraw clear.
    void begin();
    // The common tests of step 6: "Must specify name for object" for an
    // empty name argument, "Part with that name already exists" for a shape
    // of that name, and the origin and direction indices.
    void checkNameAndPoints(const CString& nameArgument) const;
    // Step 8: the profile sub-section under the sub-section parentName.
    void createSubSection(const CString& parentName);

    // Step 9: one piece named by the profile name and suffix, made through
    // the basic-shape automation methods; sign -1 makes a hole.
    CShapeAnalysis& parallelogram(const wchar_t* suffix, double length, double width, double ang1, double ang2,
                                  const Point<double>& at, short origin, short dir, double rot, short sgn = 1);
    CShapeAnalysis& fillet(const wchar_t* suffix, double radius, double sweep, const Point<double>& at,
                           short origin, short dir, double rot, short sgn = 1);
    CShapeAnalysis& triangle(const wchar_t* suffix, double base, double offset, double height,
                             const Point<double>& at, short origin, short dir, double rot, short sgn = 1);
    CShapeAnalysis& rectangle(const wchar_t* suffix, double length, double width, const Point<double>& at,
                              short origin, short dir, double rot, short sgn = 1);
    CShapeAnalysis& annulus(const wchar_t* suffix, double radius, double width, double sweep,
                            const Point<double>& at, short origin, short dir, double rot, short sgn = 1);
    // GroupAdd(profile name, piece name, true) for each piece.
    void groupAdd(std::initializer_list<const CShapeAnalysis*> pieces);
    // The pieces made so far (the sign of a hole is kept by the shape).
    const std::vector<CShapeAnalysis*>& pieces() const { return m_pieces; }

    // Steps 10 to 14: construction arguments, union, defining points,
    // placement, journal line (written unblocked; journalFirst is its first
    // text), busy flag cleared and the one check-point of the build.
    // preTurn (degrees) turns the profile about (0, 0) before it is placed.
    // Returns the union shape.
    CShapeAnalysis& finish(const std::vector<double>& arguments, const std::vector<Point<double>>& points,
                           const CString& journalFirst, double preTurn = 0.0);
    // Turns a piece about centre by deg degrees (pieces made later anchor
    // on where it lies now).
    void turn(CShapeAnalysis& piece, const Point<double>& centre, double deg);
    // Step 15's placement checks (checkPos and checkRot) and the dots; the
    // profile's dimension checks come between finish and this call.
    void checkPlacementAndDot();
    // Step 16: labels restored, redraw set, picks cleared, rebuilt, fitted;
    // with validate the view's display records are checked too.
    void refresh(bool validate = false);

    const CString& name() const { return m_name; }
    int iorig() const { return static_cast<int>(m_values[m_kind.iorigAt]); }
    int iDirection() const { return static_cast<int>(m_values[m_kind.iorigAt + 1]); }
    // The placement (x, y) and rotation.
    double x() const { return m_values[m_kind.iorigAt + 2]; }
    double y() const { return m_values[m_kind.iorigAt + 3]; }
    double rotation() const { return m_values[m_kind.iorigAt + 4]; }
    CSubSection* profile() const { return m_profile; }
    CShapeAnalysis* unionShape() const { return m_union; }

private:
    CShapeAnalysis& piece(const CString& pieceName);
    void release();
    void restoreView();
    void removePartialProfile();

    CXSectionAnalysisDoc& m_doc;
    CXSectionAnalysis& m_model;
    const ProfileKind& m_kind;
    CString m_name;
    const ProfileValues& m_values;
    CSubSection* m_profile = nullptr;
    CShapeAnalysis* m_union = nullptr;
    std::vector<CShapeAnalysis*> m_pieces;
    bool m_begun = false;
    bool m_finished = false;
    bool m_viewSuspended = false;
    bool m_heldCheckPoints = false;
    int m_labelMode = 0;
};
