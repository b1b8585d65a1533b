/* Watches the screen for the first frame that shows a colour.

       paint_watch RRGGBB [MIN_PIXELS] [TIMEOUT_SECONDS]

   Says "ready" on standard output once it is watching, then prints the
   monotonic time (the clock of Python's time.monotonic, to the millisecond of
   the server's time stamp) of the damage whose rectangle first held at least MIN_PIXELS pixels
   (1000 unless given) of the colour, and ends with 0. Only the damaged
   rectangles are read back, so a frame is found without grabbing the whole
   screen each time. Ends with 1 on a timeout (30 s unless given), 2 on an error.
   A benchmark's answer page paints a block of its own colour, which nothing
   else on the screen has. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <errno.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double Now(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + (double)ts.tv_nsec / 1e9;
}

/* The X server stamps its events with the monotonic clock in milliseconds,
   cut to 32 bits; the damage's own time is taken from that, so that reading
   back earlier rectangles does not make a frame look later. A server on
   another clock gives the time the event was read instead. */
static double ServerTime(Time stamp)
{
    const double now = Now();
    const unsigned long long nowMs = (unsigned long long)(now * 1000.0);
    const unsigned int back = (unsigned int)nowMs - (unsigned int)stamp;
    if (back > 10000u)
        return now;
    return (double)(nowMs - back) / 1000.0;
}

/* A window being torn down while its rectangle is read is no reason to stop. */
static int IgnoreError(Display* pDisplay, XErrorEvent* pEvent)
{
    (void)pDisplay;
    (void)pEvent;
    return 0;
}

/* Pixels of the colour in the rectangle of the screen. */
static long CountColour(Display* pDisplay, Window root, int x, int y, int w, int h,
                        unsigned long pixel)
{
    XImage* pImage = XGetImage(pDisplay, root, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
    if (!pImage)
        return 0;
    long nFound = 0;
    if (pImage->bits_per_pixel == 32) {
        for (int row = 0; row < h; ++row) {
            const unsigned char* pRow =
                (const unsigned char*)pImage->data + row * pImage->bytes_per_line;
            for (int col = 0; col < w; ++col) {
                unsigned int value;
                memcpy(&value, pRow + 4 * col, 4);
                if ((value & 0xFFFFFFu) == pixel)
                    ++nFound;
            }
        }
    } else {
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w; ++col)
                if ((XGetPixel(pImage, col, row) & 0xFFFFFFu) == pixel)
                    ++nFound;
    }
    XDestroyImage(pImage);
    return nFound;
}

int main(int argc, char** argv)
{
    if (argc < 2 || strlen(argv[1]) != 6) {
        fprintf(stderr, "usage: paint_watch RRGGBB [MIN_PIXELS] [TIMEOUT_SECONDS]\n");
        return 2;
    }
    const unsigned long colour = strtoul(argv[1], NULL, 16);
    const long nMin = argc > 2 ? atol(argv[2]) : 1000;
    const double timeout = argc > 3 ? atof(argv[3]) : 30.0;
    Display* pDisplay = XOpenDisplay(NULL);
    if (!pDisplay) {
        fprintf(stderr, "paint_watch: no display\n");
        return 2;
    }
    int nEventBase = 0, nErrorBase = 0;
    if (!XDamageQueryExtension(pDisplay, &nEventBase, &nErrorBase)) {
        fprintf(stderr, "paint_watch: the X server has no DAMAGE extension\n");
        return 2;
    }
    XSetErrorHandler(IgnoreError);
    const Window root = DefaultRootWindow(pDisplay);
    const Visual* pVisual = DefaultVisual(pDisplay, DefaultScreen(pDisplay));
    if (pVisual->red_mask != 0xFF0000 || pVisual->green_mask != 0xFF00 ||
        pVisual->blue_mask != 0xFF) {
        fprintf(stderr, "paint_watch: the screen is not 24-bit RGB (use -screen 0 WxHx24)\n");
        return 2;
    }
    /* Every damaged rectangle is reported as it comes, nothing to subtract. */
    XDamageCreate(pDisplay, root, XDamageReportRawRectangles);
    XSync(pDisplay, False);
    printf("ready\n");
    fflush(stdout);

    const double end = Now() + timeout;
    struct pollfd pfd = {ConnectionNumber(pDisplay), POLLIN, 0};
    for (;;) {
        while (XPending(pDisplay)) {
            XEvent event;
            XNextEvent(pDisplay, &event);
            if (event.type != nEventBase + XDamageNotify)
                continue;
            const XDamageNotifyEvent* pDamage = (const XDamageNotifyEvent*)&event;
            const double seen = ServerTime(pDamage->timestamp);
            const XRectangle area = pDamage->area;
            if ((long)area.width * area.height < nMin)
                continue;
            /* The rectangle is relative to the drawable, here the root. */
            if (CountColour(pDisplay, root, area.x, area.y, area.width, area.height, colour) >=
                nMin) {
                printf("%.6f\n", seen);
                fflush(stdout);
                return 0;
            }
        }
        const double left = end - Now();
        if (left <= 0) {
            fprintf(stderr, "paint_watch: the colour did not show within %.0f s\n", timeout);
            return 1;
        }
        if (poll(&pfd, 1, (int)(left * 1000) + 1) < 0 && errno != EINTR)
            return 2;
    }
}
