#pragma once
// The command line speaks Spanish; where the user's locale asks for English (LC_ALL, else
// LC_MESSAGES, else LANG naming en or en_*), the English catalogue built into the programs is
// installed. C, POSIX and every other language keep the Spanish texts.

// Whether the locale variables ask for English.
bool localeWantsEnglish();
// Installs the English catalogue on the running application when the locale asks for it.
void loadTranslations();
