// Leaks the leak checker must not charge to our tests: Qt 5.15's offscreen platform never frees
// its screen, and the web engine behind the main window's module view (with the font
// configuration it loads) keeps process-wide state until exit. Full stacks let the suppressions
// recognise them.
extern "C" const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:QGuiApplicationPrivate::createPlatformIntegration\n"
           "leak:libQt5WebEngineCore.so\n"
           "leak:libfontconfig.so\n";
}
