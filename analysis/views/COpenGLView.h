// The OpenGL view base. A view draws display records (compiled OpenGL
// display lists with their colours, priorities, layers and labels) into an
// off-screen buffer of its own, through an orthographic camera, and picks
// them back. It renders in bitmap mode only: an off-screen context per view
// with a 32-bit buffer, bottom row first like a device-independent bitmap,
// that the window merely copies onto its client area. Everything that needs
// the window goes through the view host (CBaseViewer::host()).
//
// The derived views point m_pActiveList at a record list (normally
// m_displayList) before any list operation or drawing runs.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "analysis/geometry/Point.h"
#include "analysis/model/DspRecord.h"
#include "analysis/model/LightProperties.h"
#include "analysis/views/CBaseViewer.h"
#include "analysis/views/CViewHost.h"
#include "platform/core/CList.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/gl/COffscreenContext.h"
#include "platform/gl/OpenGL.h"
#include "platform/gl/PixelFormat.h"

class CDot;
class CPrintInfoDlg;

// Zoom steps of COpenGLView::zoom.
enum Direction : int { ZoomIn = 6, ZoomOut = 7 };

// Mouse events that drive the view's rubber-band and camera-drag loops.
enum class ViewMouseEvent { LeftDown, Move, LeftUp, DoubleClick, Escape, CaptureLost };

// The record-list type of the view.
using DspRecordList = CList<DspRecord*, DspRecord*>;

class COpenGLView : public CBaseViewer, public DspRecordView {
    DECLARE_DYNCREATE(COpenGLView)
    friend CObject* afxCreateZeroFilled<COpenGLView>();

public:
    // Receives the two model corners (x, y; z 0) of a dragged box: the
    // corner where the drag began, then the one where it ended.
    using BoxDone = std::function<void(const Point<double>& anchor, const Point<double>& corner)>;

    // Deletes the records of both record lists (with their display lists),
    // then the rendering context.
    ~COpenGLView() override;

    // ---- context and bitmap ----
    // Creation of the window: 0 with a host; without one, shows "OnCreate -
    // GetDC failed" (caption "GLDib") and returns 0 with nothing set up.
    int OnCreate();
    int bitmapCreate();
    // A new client size: nothing for a zero width or height; otherwise the
    // buffer is rebuilt (OnSizeBitmap), then fullView.
    void OnSize(UINT type, int cx, int cy);
    // Rebuilds the buffer at the client size and makes the context (built
    // the first time) current on it, sets the viewport, projection and
    // camera; a shrink repaints the window at once, any change invalidates
    // it. A failure shows its message (caption "GLDib") and leaves the view
    // blank until a later resize succeeds; false then.
    bool OnSizeBitmap(UINT type, int cx, int cy);
    // The window goes: the rendering context is released.
    void OnDestroy();
    // Once: a pending GL error throws std::logic_error "OpenGL display
    // failure"; resets the panning and rubber-band flags.
    void OnInitialUpdate();
    // On activation the view's context becomes current.
    void OnActivateView(BOOL activate);
    // Calls RenderScene.
    void OnDraw(CDC* dc) override;
    // Makes the view's context current; FALSE when the view has none.
    BOOL makeCurrent();
    // makeCurrent, then a pending GL error throws.
    void setCurrentContext();
    // A pending GL error throws std::logic_error "OpenGL display failure".
    void errCheck();
    // Background colour from 0-255 components.
    void background(float r, float g, float b);
    // Background back to 214/255 grey.
    void resetBackgroundColor();
    // Pixel size and aspect ratio (height / width) of the view.
    void width(int w) { m_width = w; }
    int width() const { return m_width; }
    void height(int h) { m_height = h; }
    int height() const { return m_height; }
    void ratio(float r) { m_ratio = r; }
    float ratio() const { return m_ratio; }
    // Draws the records (when redraw) and copies the buffer to the window;
    // nothing when the buffer or the client area is empty.
    void bitmapRedraw(UINT mode, UINT typeMask, int redraw);
    // Draws the records when redraw is nonzero, without copying.
    void deviceRedraw(UINT mode, UINT typeMask, int redraw);
    // bitmapRedraw in bitmap mode (the only mode built here).
    void HardwareOrBitmapRedraw(UINT mode, UINT typeMask, int unused, int redraw);
    // The buffer the view draws into (null while it has none).
    const COffscreenContext* buffer() const { return m_context.get(); }
    COffscreenContext* buffer() { return m_context.get(); }
    // The pixel formats the view's buffer may take (the off-screen
    // formats by default).
    void pixelFormats(std::vector<PIXELFORMATDESCRIPTOR> formats) { m_pixelFormats = std::move(formats); }

    // ---- virtual operations of the derived views ----
    virtual void RenderScene();
    virtual void lightsOn();
    virtual void pick(int x, int y, UINT typeMask);

    // ---- record lists ----
    // glGenLists(n): the first of n new list ids; 0 without a context.
    UINT GetNewDisplayListIDs(int n);
    // The first active record with that list id gets posted and pickable.
    void post(int listId, int posted, int pickable);
    // The same for the first active record showing object, else the first
    // overlay record showing it.
    virtual void postObj(void* object, int posted, int pickable);
    // The first active record of exactly that type is posted / unposted.
    void postType(int type);
    void unpostType(int type);
    // Raises m_maxPriority to p.
    void maxPriority(int p);
    // The first active record with that list id, or null.
    DspRecord* isUsed(int listId) const;
    DspRecord* findDspRecord(int listId) const;
    // The first active record showing object, or null.
    DspRecord* findDspRecord(const void* object) const;
    // Deletes the first active record with that list id (and its list); a
    // pending GL error throws first.
    void remove(UINT listId);
    // Deletes every active record of exactly that type.
    void removeType(UINT type);
    // Deletes the first active record showing object.
    void removeDisplay(const void* object);
    // Deletes every active record.
    void clearDisplay();
    // Deletes every record of the active and overlay lists; empties the
    // pick list.
    void removeAll();
    // The drawing pass: clear, flat shading or the derived view's lights,
    // then every record in order (runDisplayList). GL errors before and
    // after throw std::logic_error "OpenGL display failure". Nothing without
    // a context.
    virtual void ExecuteDisplayList(UINT mode, UINT typeMask, int lit, int unused);
    // Records in drawing order: layers m_layerCount + 1 down to 0, within
    // each priorities 0 to 12 (unpicked active records, then overlay
    // records, unpicked before picked); then every picked active record by
    // priority, over everything else.
    void runDisplayList(UINT mode, UINT typeMask, int lit, int unused);
    // Draws the record's labels.
    void annotations(DspRecord* record);
    // Camera and projection, an optional clear to the background, then
    // every record drawn and shown.
    void resetCameraPostDisplayList(int unused1, int clear, int unused2);
    // OnUpdate, then the redraw of resetCameraPostDisplayList with clearing.
    void updateDisplay(LONG_PTR hint, CObject* hintObject);

    // ---- picking ----
    // The record chosen from a selection buffer of hits (name count, depths,
    // names): among unpicked, pickable active records named by a hit, the
    // highest pick priority; the first hit wins a tie. Null when none.
    virtual DspRecord* processHits(int hits, GLuint* buffer, UINT unused);
    // The first record with that list id in the active list, else in the
    // overlay list; null when none.
    virtual DspRecord* dspRecord(int listId) const;
    // Picks the record (appends its id); a record whose id is listed
    // already clears the whole selection. Null or picked: nothing.
    void addPickList(DspRecord* record);
    // Unpicks every listed record and empties the pick list.
    void turnOffPickFlags();
    // Unpicks the listed records whose type shares a bit with the mask;
    // the pick list stays.
    void turnOffPickFlags(UINT typeMask);
    // Keeps only the most recent pick.
    void turnOffAllButLastPickFlags();
    // Removes the most recent pick.
    virtual void unpickLast();
    // The record of the most recent pick, or null.
    DspRecord* lastPick() const;
    // 1 when a picked record shows object.
    int isPicked(const void* object) const;
    // The object of the first picked record of exactly that type, or null.
    void* searchPicks(int type) const;
    // The first picked construction point, or null.
    CDot* getPickedDot() const;
    // Locations of the first two (three) picked construction points; true
    // when that many were found (those found are written either way).
    bool get2points(Point<double>* a, Point<double>* b) const;
    bool get3points(Point<double>* a, Point<double>* b, Point<double>* c) const;
    // Number of picked construction points.
    int dotsPicked() const;
    int pointsPicked() const { return dotsPicked(); }
    // A green 7-pixel point record (type 4, priority 9) for the dot, with a
    // display list of its own; nothing without a context.
    void displayDot(CDot* dot);
    // Draws every record in feedback mode and returns the drawn vertex
    // nearest to the window point (x, y, 0): its position, colour, texture
    // coordinates and the pass-through token before it, and the reflection
    // of the view direction in the last primitive. Outputs stay untouched
    // when nothing was drawn.
    void feedback(long x, long y, Point<float>* vertex, RGBAf* colour, RGBAf* texture, float* token,
                  Point<float>* unused, Point<float>* reflection);

    // ---- camera ----
    // Model-view matrix from eye, centre and up.
    void cameraPosition();
    // Viewport and orthographic projection of the view window.
    void projection();
    // The view window -h..h by -h ratio..h ratio; nothing for ratio 0 or h < 0.
    void viewWindow(float h);
    // Widens (f > 0) or narrows the view window by f of its size each side.
    void zoomCntl(float f);
    // One zoom step: ZoomIn narrows by 0.5 % each side, ZoomOut widens.
    void zoom(Direction d);
    // Moves the camera by a pixel delta (converted in place to view-window
    // units).
    void pan(Point<float>* delta, int unused);

    // ---- mouse loops ----
    // Starts the zoom-to-box loop: press, drag a box of the view's aspect
    // ratio, release to zoom to it; a double click redraws and ends.
    void rubberZoom();
    // Starts the box loop: press, drag, release; done receives the two
    // model corners. A double click ends without a box.
    void rubberBox(BoxDone done);
    // Starts the camera drag: the picture follows the mouse while pressed.
    void pickCtr();
    // True while a mouse loop runs.
    bool mouseLoopActive() const { return m_loop.kind != Loop::None; }
    // Feeds a mouse event (client pixel p) to the running loop; true when
    // one ran (the event is then consumed). Escape and the loss of the
    // mouse capture end a loop and undo whatever it showed.
    bool mouseLoopEvent(ViewMouseEvent event, CPoint p = {});

    // ---- inverted and XOR drawing ----
    // Inverts the outline of the rectangle p1-p2 (client pixels) in the
    // buffer and shows it; drawn twice it is gone.
    void rubberBox(CPoint p1, CPoint p2);
    // Inverts one line (client pixels) in the buffer and shows it.
    void InvertLine(CPoint from, CPoint to);
    // XOR-draws, in model coordinates, the box c0-old (erasing it) and then
    // the box c0-new.
    void XORBox(float* c0, float* oldCorner, float* newCorner);
    // XORBox into the buffer, then shown.
    void XORRect(float* c0, float* oldCorner, float* newCorner);
    void BitmapXORRect(float* c0, float* oldCorner, float* newCorner);

    // ---- coordinates ----
    // Model x, y of a client pixel.
    void pixel2Model(int* pixel, float* out);
    // View-window point of a client pixel.
    void dev2win(Point<float>* in, Point<float>* out);
    void pixel2win(long x, long y, Point<float>* out);
    // Client pixel of a view-window point, in place.
    void win2dev(Point<float>* in, Point<float>* unused);
    // Model point of a GL window point.
    void dev2model(Point<float>* in, Point<float>* out);
    // Model point of a client pixel (y counted from the top).
    void pix2model(Point<float>* in, Point<float>* out);
    // GL window point of a model point.
    void model2dev(Point<float>* in, Point<float>* out);
    // Model-plane point of a client pixel, through the camera's axes.
    void Device2View(Point<float>* in, Point<float>* out);

    // ---- what the records need ----
    const LightProperties& highlight() const override { return m_highlight; }
    // Colours of the shape display: phantom shapes, holes, shapes without a
    // material, and outlines.
    LightProperties* phantomColour() { return &m_phantom; }
    LightProperties* holeColour() { return &m_hole; }
    LightProperties* defaultColour() { return &m_defaultShape; }
    LightProperties* outlineColour() { return &m_outline; }

    // ---- fonts and text ----
    // Calls the 256-glyph lists from listBase for the bytes of text. A zero
    // base or a null text draws nothing and writes one line to stderr (not
    // a message box: painting would reopen it on every repaint). A pending
    // GL error throws std::logic_error "OpenGL display failure".
    void GLTextOut(UINT listBase, const char* text);
    // GenerateDefaultFonts with both arguments.
    virtual void SetDefaultFonts(const wchar_t* unused, const wchar_t* face);
    // Only while m_DefaultFlatTextID is -1: builds the flat-text lists for
    // the face (null: the stock system font), reserves and builds the
    // grid-label lists ("Arial", 10 pixels) and sets m_bFont.
    void GenerateDefaultFonts(const wchar_t* unused, const wchar_t* face);
    // 256 glyph lists of the face (height -8, weight 400; null face: the
    // system font) in the view's context: the list base, or 0 after a
    // message box ("GenerateBitmapList: id:%d\n" without a context or
    // lists, "success:%d" when the glyphs cannot be made).
    UINT GenerateBitmapListForFont(const wchar_t* face);
    // The "Arial" font of that height; its glyphs go into the 256 lists
    // from listBase when the view has a context.
    std::unique_ptr<CFont> CreateFontW(UINT listBase, int height);
    // A flat label at a model point with the placement (first letter c
    // centre, r right end, else start at the point; second c centre, t top,
    // else baseline), in the colour, from the font lists (-1: the default
    // ones). Nothing for an empty view or in selection mode. Texts are cut
    // at 219 characters.
    void text3D(double x, double y, double z, float r, float g, float b, const char* placement, CStringA text,
                int fontList) override;
    // The width of a label as text3D draws it with the font lists (-1: the
    // default ones), and the height its placement uses; pixels.
    CSize textExtent(const CStringA& text, int fontList) const;
    // As text3D, in every render mode, on a filled box of the background colour.
    void text3DwithBackground(double x, double y, double z, float r, float g, float b, const char* placement,
                              CStringA text, float backR, float backG, float backB, int fontList);
    // A cross at the model point and the boxed text beside it (left of it
    // for the placement "lr", else right).
    void showValue(double x, double y, double z, float r, float g, float b, const char* placement, CStringA text,
                   float backR, float backG, float backB);
    // A screen-space arrow from the model point at the angle (degrees),
    // length and head sizes in percent of the view width and of the
    // length, with a white label on black at its middle.
    void drawArrowWithLabel(double x, double y, double z, double angle, float length, float headLength,
                            float headWidth, float r, float g, float b, CStringA label, bool doubleHead);
    // v in black at p: "%3.2e" when |v| > 100000 or |v| < 1e-5, else "%5.3f".
    void number(Point<double>* p, const char* placement, double v);
    // The closed outline (5 points) of a band of the width along p1-p2;
    // nothing written when the points are closer than 1e-5.
    static void computeLinePolygon(const Point<double>* p1, const Point<double>* p2, Point<float>* out,
                                   double width);

    // ---- GLU tessellator callbacks (see Tessellation.h) ----
    // A vertex of six doubles: colour from the last three, position from the first three.
    static void vertexCallback(void* vertex);
    // Records the error in the thread's TessellationScope (never throws
    // through GLU); the caller throws its wide text after the polygon.
    static void errorCallback(GLenum code);
    // A new six-double vertex at coords, owned and freed by the thread's
    // TessellationScope (none without a scope).
    static void combineCallback(GLdouble coords[3], GLdouble* data[4], GLfloat weight[4], GLdouble** out);

    // ---- printing ----
    // The device can stretch bitmaps (sets bStretchBlt / bStretchDIBits)
    // and its pixels per inch are stored; FALSE when it can stretch neither.
    BOOL getDeviceCharacteristics(CDC* dc);
    // The device test (a message box names a device that fails it), then
    // the print fonts.
    void OnBeginPrinting(CDC* dc, CPrintInfo* info) override;
    // The print fonts go and the captured picture is freed.
    void OnEndPrinting(CDC* dc, CPrintInfo* info) override;
    // The captured picture is freed and the preview closed.
    void OnEndPrintPreview(CDC* dc, CPrintInfo* info) override;
    // The print preview of the view's pages; a failure says so.
    void OnFilePrintPreview();
    // The title block at the top of the page when the settings want it
    // there; the print cursor under it.
    void printPageHeader(CDC* dc);
    // The title block at the bottom when wanted there, then "Page %d of %d"
    // in the body font ending at (10900, -14958).
    void printPageFooter(CDC* dc, int page, int pages);

    // The flat-text font lists of the view's context (-1: to be built).
    int m_DefaultFlatTextID = -1;
    // The grid-label font lists and font.
    UINT m_GridLabelFontId = 0;
    std::unique_ptr<CFont> m_pGridLabelFont;
    // The default fonts have been built.
    int m_bFont = 0;

    CString m_auxText;
    int m_panning = 0;
    int m_rubberBanding = 0;
    DspRecordList m_displayList{10};
    DspRecordList* m_pActiveList = nullptr;
    DspRecordList m_overlayList{10};
    LightProperties m_highlight{1.0f, 1.0f, 1.0f};
    LightProperties m_black{0.0f, 0.0f, 0.0f};
    LightProperties m_magenta{1.0f, 0.0f, 1.0f};
    LightProperties m_yellow{1.0f, 1.0f, 0.0f};
    LightProperties m_lightRed{1.0f, 0.3f, 0.3f};
    LightProperties m_red{1.0f, 0.0f, 0.0f};
    LightProperties m_green{0.0f, 1.0f, 0.0f};
    LightProperties m_lightBlue{134.0f / 255.0f, 165.0f / 255.0f, 229.0f / 255.0f};
    LightProperties m_grey{0.3f, 0.3f, 0.3f};
    // Phantoms pale grey, holes white, material-less shapes steel blue-grey,
    // outlines black.
    LightProperties m_phantom{0.8f, 0.8f, 0.8f};
    LightProperties m_hole{1.0f, 1.0f, 1.0f};
    LightProperties m_defaultShape{0.55f, 0.6f, 0.7f};
    LightProperties m_outline{0.0f, 0.0f, 0.0f};
    int m_layerCount = 0;
    CString m_title1;
    CPrintInfoDlg* m_pPrintInfo = nullptr;
    CString m_title2;
    CRect m_clientRect;
    int m_bDoubleBuffer = 1;
    int m_bHardware = 0;
    int m_overlayMask = 0;
    Point<float> m_center{0.0f, 0.0f, 0.0f};
    Point<float> m_up{0.0f, 1.0f, 0.0f};
    Point<float> m_direction{0.0f, 0.0f, 1.0f};
    Point<float> m_eye{0.0f, 0.0f, 100.0f};
    Point<float> m_windowMin{-5.0f, -5.0f, 0.0f};
    Point<float> m_windowMax{5.0f, 5.0f, 0.0f};
    CList<int, int> m_pickList{10};
    double m_near = 1.0;
    double m_far = 400.0;
    int m_maxPriority = 0;
    float m_background[3] = {214.0f / 255.0f, 214.0f / 255.0f, 214.0f / 255.0f};
    int m_initialised = 0;

protected:
    COpenGLView();

    // Makes the view's context current; false (and nothing current of
    // this view) when it has none or its buffer is empty.
    bool ensureCurrent();
    // Before records are deleted: the view's context current, or none at
    // all, so that no other view's display lists go with them.
    void bindForDeletion();
    // Shows a failure of the buffer set-up and leaves the view blank.
    void bufferFailure(const wchar_t* message);
    // Unlinks and deletes the record at pos of the active list.
    void deleteActive(POSITION pos);
    // Deletes every record of a list and empties it.
    void deleteRecords(DspRecordList& list);
    // Client width and height from the host (0 without one).
    CRect clientRect() const;
    // Message box through the host (or the process hook without one).
    int message(const wchar_t* text, const wchar_t* caption);

private:
    enum class Loop { None, RubberZoom, RubberBox, PickCentre };
    struct LoopState {
        Loop kind = Loop::None;
        bool pressed = false;
        bool boxShown = false;
        bool cameraMoved = false;
        bool captured = false;
        CPoint press;
        CPoint corner;
        float anchor[2] = {0, 0};
        float previous[2] = {0, 0};
        float current[2] = {0, 0};
        ViewCursor savedCursor = ViewCursor::Arrow;
        BoxDone done;
        Point<float> savedCentre;
        Point<float> savedEye;
    };

    void startLoop(Loop kind);
    void endLoop(bool rubberBandingOff);
    void releaseLoopMouse();
    void loopPress(CPoint p);
    void loopMove(CPoint p);
    void loopRelease();
    void loopDoubleClick();
    void loopCancel();
    void finishZoom();
    void eraseBox();
    void dragCamera(CPoint p);

    std::unique_ptr<COffscreenContext> m_context;
    std::vector<PIXELFORMATDESCRIPTOR> m_pixelFormats;
    LoopState m_loop;
};
