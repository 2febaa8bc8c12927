#pragma once
// The options of a run through the real main form (qacsemaf screenshot, and qacsemaf generate
// with --plan and --node): database, company, plan node, categories, user.

#include "ProfileScoring.h"

#include <QString>
#include <QStringList>

class MainFormDriver;
class QCommandLineParser;

struct FormRoadOptions {
    QString file;
    int company = 0;
    int plan = 0;
    int node = 0;
    engine::Categories categories;
    bool generate = false;  // categories were given: the traffic light is generated
    QString user;
    QString password;
};

// A bad command line; the message says which option is wrong.
class FormRoadUsageError : public std::exception {
public:
    explicit FormRoadUsageError(QString message) : m_message(std::move(message)) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

void addFormRoadOptions(QCommandLineParser &parser);
// Parses and checks the options (help printed and exit 0 for --help); throws FormRoadUsageError.
FormRoadOptions readFormRoadOptions(QCommandLineParser &parser, const QStringList &arguments);
// Session globals as the load call leaves them for that database, user and company.
void startFormRoadSession(const FormRoadOptions &options);
// Company, node, categories and the generation button, on the driver's form.
void runFormRoad(MainFormDriver &driver, const FormRoadOptions &options);
