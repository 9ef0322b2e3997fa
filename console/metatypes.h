#pragma once
// Registers the console's types with Qt's meta-type system so they can cross threads in queued
// calls. Call once on the GUI thread before the application object exists.
namespace console {
void registerMetaTypes();
}
