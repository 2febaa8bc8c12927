#pragma once
// Qt's platform layer reports facts about the machine that mean nothing to the module's users: no
// XDG_RUNTIME_DIR for a user without a login session, an offscreen window that cannot pass size
// hints. The programs drop those lines, so that what they write on standard error is their own;
// every other message goes where Qt would have sent it.

// Installs the filter once per process; call it before the application object is made.
void quietPlatformNotices();
