// Drawing of a CL path (being written): the walk reports the trace point
// already; what is drawn per record comes next.
#include "korvex.h"

DQ_API void dqDrawCL(unsigned int tag, unsigned int preList, gqCOpenGL& context, double* point) {
    if (point) dqGetCLTracePoint(tag, point);
}
