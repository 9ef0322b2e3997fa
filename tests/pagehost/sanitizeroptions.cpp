// Leaks the leak checker must not charge to our tests: Qt 5.15's offscreen platform never frees
// its screen, and the web engine (with the font configuration and D-Bus connection it opens)
// keeps process-wide state until exit. Full stacks let the suppressions recognise them; a leak
// with a frame of our own code in its stack is still reported.
extern "C" const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:QGuiApplicationPrivate::createPlatformIntegration\n"
           "leak:libQt5WebEngineCore.so\n"
           "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n";
}
