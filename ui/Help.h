// Help: the help file "Quenpm.Hlp" is the program's own help bundle, HTML
// pages compiled into the programs under ":/help/" (contents.html,
// topics/<name>.html, and contexts.tsv mapping context numbers to topics:
// "<context>\t<topic file>\t<title>\t<keyword;keyword;...>").
//
//   setHelpContext(w, n)    gives a control (or a whole dialog) a context;
//   helpContextOf(w)        the context of w or of its nearest parent;
//   showHelpContext(n)      opens the topic of n (unknown n: the contents);
//   showHelpContents()      opens the contents page;
//   showHelpSearch(word)    opens the keyword search, filtered by word;
//   installHelpKey(app)     F1 opens the focused control's topic.
// The viewer is one non-modal window (THelpViewer, HelpViewer.h) shared by
// the program.
// setHelpFile()/helpFile() keep the name of the application's help file, as
// the windows set it on start-up and activation.
#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QWidget>

class QAction;
class QApplication;

namespace quen {

struct THelpTopic {
    int context = 0;
    QString file;      // topic file name under topics/ (or a path under :/help/)
    QString title;
    QStringList keywords;
};

class THelpIndex {
public:
    // Parses contexts.tsv text; malformed lines are skipped.
    static THelpIndex parse(const QString& tsv);
    // The index of the compiled-in bundle (read once).
    static const THelpIndex& bundled();

    bool hasContext(int context) const { return m_byContext.contains(context); }
    THelpTopic topic(int context) const { return m_byContext.value(context); }
    QList<int> contexts() const { return m_byContext.keys(); }
    // Keyword (as written) -> topics carrying it, sorted without case.
    QStringList keywords() const;
    QList<THelpTopic> topicsForKeyword(const QString& keyword) const;
    // Resource URL of a topic file: "qrc:/help/topics/<file>".
    static QString topicUrl(const QString& file);

private:
    QMap<int, THelpTopic> m_byContext;
    QMap<QString, QList<int>> m_byKeyword;   // key: lower-case keyword
    QHash<QString, QString> m_keywordText;   // lower-case -> as written
};

void setHelpFile(const QString& name);
QString helpFile();

void setHelpContext(QWidget* w, int context);
void setHelpContext(QAction* a, int context);   // menu items: F1 on the highlighted item
int helpContextOf(const QWidget* w);

void showHelpContext(int context);
void showHelpContents();
void showHelpSearch(const QString& keyword = QString());
void installHelpKey(QApplication* app);

} // namespace quen
