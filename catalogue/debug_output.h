#pragma once

// Whether QUILLBRIDGE_DEBUG asks for what Qt and the browser report (set, and
// neither empty nor "0"); the library and both programs keep quiet otherwise.
bool IsDebugOutputOn();
