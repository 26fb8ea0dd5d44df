#pragma once

#include <future>
#include <string>
#include <thread>

// The part of a program's start that needs no main thread, done on a thread
// of its own while the main thread waits for the display (most of the
// application object's construction): fontconfig reads its configuration
// and caches, the font the desktop's generic default family stands for is
// looked up, and the session bus is reached.
//
// Before the application exists the thread uses nothing of Qt but its D-Bus
// connections, which live on a thread of Qt's own made to run without an
// application object. The application's construction sets up, unguarded,
// what much of the rest of Qt reads (the library and plugin paths, the
// program's path): reading an image there, for one, could crash the start.
class CStartUpThread {
public:
    // Starts the thread; to be made before the application object.
    CStartUpThread();
    CStartUpThread(const CStartUpThread&) = delete;
    CStartUpThread& operator=(const CStartUpThread&) = delete;
    // Waits for the thread, if Wait has not.
    ~CStartUpThread();

    // Waits for the thread: before the application object goes.
    void Wait();

    // Once the application object exists: when the application font is the
    // generic desktop's default family, an alias, it is named by the family
    // fontconfig gives for it instead, if that is known by then. Once.
    void NameApplicationFont();

    // Qt's generic desktop (no desktop theme) names the default font so.
    static constexpr const char* kGenericFamily = "Sans Serif";

private:
    std::future<std::string> m_genericFont;
    std::thread m_thread;
};
