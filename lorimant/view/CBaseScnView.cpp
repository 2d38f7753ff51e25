#include "lorimant/view/CBaseScnView.h"

IMPLEMENT_DYNAMIC(CBaseScnView, COpenGLViewUI)
