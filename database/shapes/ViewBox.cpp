// The extent of the visible scene in window coordinates, for fitting the
// view: every visible figure is drawn once through the session's context in
// view-box mode, under the view list and its own pre-draw list, exactly as
// the scene list would place it.
#include "korvex.h"
#include "shapes/DisplayLists.h"
#include "shapes/GlGuards.h"
#include "shapes/SelectType.h"
#include "store/Session.h"

#include <GL/gl.h>

using namespace DQ;

DQ_API void dqGetViewBox(double* box) {
    gqCOpenGL& gl = session().drawingContext;
    {
        // The figures and their pre-draw lists set materials and colours;
        // measuring must leave the caller's state as it was.
        AttribGuard attrib(GL_CURRENT_BIT | GL_LIGHTING_BIT);
        glMatrixMode(GL_MODELVIEW);
        MatrixGuard matrix;
        gl.SetMode(gqCOpenGL::ViewBox);
        if (unsigned view = viewListName(); view && glIsList(view)) glCallList(view);
        const unsigned highest = dqGetHighestTag();
        for (unsigned t = 2; t < highest; ++t) {
            if (!isFigureClass(dqGetClass(t)) || isHiddenCode(selectState(t, nullptr))) continue;
            drawFigure(t, preListOf(t), gl);
        }
    }
    if (box) gl.GetViewBox(box);
    // The context is the one the lists are compiled through.
    gl.SetMode(gqCOpenGL::Draw);
}
