#pragma once
// The database the host opens when it is given none: the demo, one per user in the user's data
// folder (~/.local/share/qacsemaf/demo.db), made on first use by the command line's seed. The
// host itself links no seeding code; it starts the qacsemaf program installed beside it.

#include <QString>

class DemoDatabase {
public:
    // `programFolder` is where the host runs from; the seeding program is looked for there (an
    // installed tree) and in ../tools (the build folder).
    explicit DemoDatabase(const QString &programFolder);

    // The user's demo file (it need not exist yet).
    static QString path();

    // Makes sure path() exists, seeding it when it does not. Empty on success, else why not
    // (in Spanish, for the user); created() says whether this call made it.
    QString ensure();
    bool created() const { return m_created; }

private:
    QString seedProgram() const;

    QString m_programFolder;
    bool m_created = false;
};
