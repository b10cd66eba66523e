/* A small Linux VST 2.4 host that opens a plug-in's editor in a real X11 window, keeps it idle and feeds it
 * audio, driven line by line on stdin (one reply line per command on stdout, host events on stderr).
 *
 * Commands: params | set N V | size | shot FILE.ppm | reopen | mem | cpu | close (end of input closes too).
 * "cpu" answers the CPU seconds this main thread (which runs the editor) has used so far.
 * stderr lines: AUTOMATE n v, BEGINEDIT n, ENDEDIT n, SIZEWINDOW w h, XERROR text.
 * Uses only the VST 2.4 interface definitions of Debian's fst-dev and Xlib. */
#define _GNU_SOURCE
#include <pluginterfaces/vst2.x/aeffectx.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <math.h>
#include <poll.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

enum { sampleRate = 48000, blockSize = 256 };

static AEffect *plugin;
static Display *display;
static Window window;
static pthread_t audioThread;
static atomic_int audioRunning, requestedWidth, requestedHeight;
static int xErrorCount;

static VstIntPtr call(int opcode, int index, VstIntPtr value, void *ptr, float opt)
{
    return plugin->dispatcher(plugin, opcode, index, value, ptr, opt);
}

static double seconds(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

/* Counted and logged, never fatal; the plug-in's own X connection may install its own handler. */
static int onXError(Display *d, XErrorEvent *e)
{
    char text[160];
    XGetErrorText(d, e->error_code, text, sizeof text);
    fprintf(stderr, "XERROR %s (request %d.%d)\n", text, e->request_code, e->minor_code);
    ++xErrorCount;
    return 0;
}

static VstIntPtr hostCallback(AEffect *effect, int opcode, int index, VstIntPtr value, void *ptr, float opt)
{
    (void)effect;
    (void)value;
    switch (opcode)
    {
    case audioMasterVersion: return 2400;
    case audioMasterAutomate: fprintf(stderr, "AUTOMATE %d %.6f\n", index, opt); return 0;
    case audioMasterBeginEdit: fprintf(stderr, "BEGINEDIT %d\n", index); return 0;
    case audioMasterEndEdit: fprintf(stderr, "ENDEDIT %d\n", index); return 0;
    case audioMasterSizeWindow:
        /* The window is resized by the main loop, on the thread that owns it. */
        fprintf(stderr, "SIZEWINDOW %d %d\n", index, (int)value);
        requestedHeight = (int)value;
        requestedWidth = index;
        return 1;
    case audioMasterGetSampleRate: return sampleRate;
    case audioMasterGetBlockSize: return blockSize;
    case audioMasterGetVendorString: strcpy(ptr, "Calyth"); return 1;
    case audioMasterGetProductString: strcpy(ptr, "calyth_guihost"); return 1;
    case audioMasterCanDo: return strcmp((const char *)ptr, "sizeWindow") == 0;
    default: return 0;
    }
}

/* Real-time pace: a slowly swelling tone with a little noise, so the level display moves. */
static void *audioLoop(void *unused)
{
    (void)unused;
    float left[blockSize], right[blockSize], outLeft[blockSize], outRight[blockSize];
    float *inputs[2] = {left, right}, *outputs[2] = {outLeft, outRight};
    unsigned int seed = 7;
    long frame = 0;
    double due = seconds();
    while (audioRunning)
    {
        for (int i = 0; i < blockSize; ++i, ++frame)
        {
            double t = (double)frame / sampleRate;
            float swell = (float)(0.5 * (1.0 - cos(2.0 * M_PI * 0.25 * t)));
            float noise = (float)rand_r(&seed) / (float)RAND_MAX - 0.5f;
            left[i] = swell * (0.4f * (float)sin(2.0 * M_PI * 220.0 * t) + 0.05f * noise);
            right[i] = swell * (0.4f * (float)sin(2.0 * M_PI * 330.0 * t) + 0.05f * noise);
        }
        plugin->processReplacing(plugin, inputs, outputs, blockSize);
        due += (double)blockSize / sampleRate;
        double wait = due - seconds();
        if (wait > 0)
            usleep((useconds_t)(wait * 1e6));
    }
    return NULL;
}

static void editorSize(int *width, int *height)
{
    ERect *rect = NULL;
    call(effEditGetRect, 0, 0, &rect, 0);
    *width = rect ? rect->right - rect->left : 0;
    *height = rect ? rect->bottom - rect->top : 0;
}

static void openEditor(void)
{
    int width, height;
    editorSize(&width, &height);
    if (width <= 0 || height <= 0)
        width = 480, height = 600;

    XSetWindowAttributes attributes = {0};
    attributes.background_pixel = 0xFF00FF; /* shows where the plug-in paints nothing */
    attributes.event_mask = StructureNotifyMask;
    window = XCreateWindow(display, DefaultRootWindow(display), 0, 0, (unsigned)width, (unsigned)height, 0,
                           CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, window, "calyth_guihost");
    XMapWindow(display, window);
    XEvent event;
    do
        XWindowEvent(display, window, StructureNotifyMask, &event);
    while (event.type != MapNotify);
    /* The plug-in talks to the server over its own connection: the window must be there first. */
    XSync(display, False);
    call(effEditOpen, 0, 0, (void *)window, 0);
    XSetErrorHandler(onXError);

    editorSize(&width, &height);
    if (width > 0 && height > 0)
        XResizeWindow(display, window, (unsigned)width, (unsigned)height);
    XSync(display, False);
    printf("WINDOW 0x%lx %d %d\n", window, width, height);
}

static void closeEditor(void)
{
    /* The plug-in lets go of its child window before the parent goes. */
    call(effEditClose, 0, 0, NULL, 0);
    XDestroyWindow(display, window);
    XSync(display, False);
    window = 0;
}

static void screenshot(const char *file)
{
    XWindowAttributes wa;
    XGetWindowAttributes(display, window, &wa);
    XImage *image = XGetImage(display, window, 0, 0, (unsigned)wa.width, (unsigned)wa.height, AllPlanes, ZPixmap);
    FILE *out = image ? fopen(file, "wb") : NULL;
    if (!out)
    {
        if (image)
            XDestroyImage(image);
        printf("ERR cannot take or write %s\n", file);
        return;
    }
    fprintf(out, "P6\n%d %d\n255\n", wa.width, wa.height);
    for (int y = 0; y < wa.height; ++y)
        for (int x = 0; x < wa.width; ++x)
        {
            unsigned long p = XGetPixel(image, x, y);
            unsigned char rgb[3] = {(unsigned char)((p & image->red_mask) >> __builtin_ctzl(image->red_mask)),
                                    (unsigned char)((p & image->green_mask) >> __builtin_ctzl(image->green_mask)),
                                    (unsigned char)((p & image->blue_mask) >> __builtin_ctzl(image->blue_mask))};
            fwrite(rgb, 1, 3, out);
        }
    fclose(out);
    XDestroyImage(image);
    printf("OK %d %d\n", wa.width, wa.height);
}

static long residentKilobytes(void)
{
    long pages = 0, resident = 0;
    FILE *f = fopen("/proc/self/statm", "r");
    if (f)
    {
        if (fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

/* Returns 0 when the host should close. */
static int runCommand(const char *line)
{
    char file[1024];
    int index;
    float value;
    if (strcmp(line, "params") == 0)
    {
        printf("OK");
        for (int i = 0; i < plugin->numParams; ++i)
            printf(" %.6f", plugin->getParameter(plugin, i));
        printf("\n");
    }
    else if (sscanf(line, "set %d %f", &index, &value) == 2 && index >= 0 && index < plugin->numParams)
    {
        plugin->setParameter(plugin, index, value);
        printf("OK %.6f\n", plugin->getParameter(plugin, index));
    }
    else if (strcmp(line, "size") == 0)
    {
        XWindowAttributes wa;
        XGetWindowAttributes(display, window, &wa);
        int w, h;
        editorSize(&w, &h);
        printf("OK %d %d %d %d\n", wa.width, wa.height, w, h);
    }
    else if (sscanf(line, "shot %1000s", file) == 1)
        screenshot(file);
    else if (strcmp(line, "reopen") == 0)
    {
        closeEditor();
        openEditor();
    }
    else if (strcmp(line, "mem") == 0)
        printf("OK %ld\n", residentKilobytes());
    else if (strcmp(line, "cpu") == 0)
    {
        struct timespec t;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        printf("OK %.6f\n", (double)t.tv_sec + (double)t.tv_nsec * 1e-9);
    }
    else if (strcmp(line, "close") == 0)
        return 0;
    else
        printf("ERR %s\n", line);
    return 1;
}

int main(int argc, char **argv)
{
    if (argc != 2)
    {
        fprintf(stderr, "usage: %s PLUGIN.so\n", argv[0]);
        return 2;
    }
    setvbuf(stdout, NULL, _IOLBF, 0);
    XInitThreads();
    display = XOpenDisplay(NULL);
    if (!display)
    {
        fprintf(stderr, "no display\n");
        return 1;
    }
    XSetErrorHandler(onXError);
    /* Without a window manager these atoms do not exist yet, and toolkits asking for existing atoms
       only would send atom 0 in their requests. */
    char *atoms[] = {"WM_PROTOCOLS", "WM_STATE", "WM_TAKE_FOCUS", "WM_CHANGE_STATE", "_NET_WM_STATE",
                     "_NET_WM_STATE_HIDDEN", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_WINDOW_TYPE",
                     "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_FRAME_EXTENTS", "_NET_WORKAREA", "_NET_WM_PING",
                     "_MOTIF_WM_HINTS", "_WIN_HINTS", "KWM_WIN_DECORATION", "_KDE_NET_WM_WINDOW_TYPE_OVERRIDE"};
    Atom created[sizeof atoms / sizeof *atoms];
    XInternAtoms(display, atoms, (int)(sizeof atoms / sizeof *atoms), False, created);

    void *library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    AEffect *(*entry)(audioMasterCallback) = library ? (AEffect * (*)(audioMasterCallback)) dlsym(library, "VSTPluginMain") : NULL;
    plugin = entry ? entry(hostCallback) : NULL;
    if (!plugin || plugin->magic != kEffectMagic || !(plugin->flags & effFlagsHasEditor))
    {
        fprintf(stderr, "not a VST 2.4 plug-in with an editor: %s\n", library ? "" : dlerror());
        return 1;
    }

    call(effOpen, 0, 0, NULL, 0);
    call(effSetSampleRate, 0, 0, NULL, (float)sampleRate);
    call(effSetBlockSize, 0, blockSize, NULL, 0);
    call(effMainsChanged, 0, 1, NULL, 0);
    audioRunning = 1;
    pthread_create(&audioThread, NULL, audioLoop, NULL);
    openEditor();

    char buffer[4096];
    size_t length = 0;
    double lastIdle = 0;
    for (int running = 1; running;)
    {
        struct pollfd fds[2] = {{0, POLLIN, 0}, {ConnectionNumber(display), POLLIN, 0}};
        poll(fds, 2, 10);
        while (XPending(display))
        {
            XEvent event;
            XNextEvent(display, &event);
        }
        if (requestedWidth > 0)
        {
            XResizeWindow(display, window, (unsigned)requestedWidth, (unsigned)requestedHeight);
            XSync(display, False);
            requestedWidth = 0;
        }
        /* The plug-in's message loop runs inside the editor idle call. */
        if (seconds() - lastIdle >= 0.02)
        {
            call(effEditIdle, 0, 0, NULL, 0);
            lastIdle = seconds();
        }
        if (fds[0].revents)
        {
            ssize_t n = read(0, buffer + length, sizeof buffer - 1 - length);
            if (n <= 0)
                break;
            length += (size_t)n;
            char *end;
            while (running && (end = memchr(buffer, '\n', length)))
            {
                *end = 0;
                running = runCommand(buffer);
                length -= (size_t)(end + 1 - buffer);
                memmove(buffer, end + 1, length);
            }
        }
    }

    closeEditor();
    audioRunning = 0;
    pthread_join(audioThread, NULL);
    call(effMainsChanged, 0, 0, NULL, 0);
    call(effClose, 0, 0, NULL, 0);
    dlclose(library);
    XCloseDisplay(display);
    printf("OK closed xerrors=%d\n", xErrorCount);
    return 0;
}
