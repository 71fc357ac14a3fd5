#include "Help.h"

#include <algorithm>

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QAction>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "HelpViewer.h"

namespace quen {

static const char* kHelpContextProperty = "quenHelpContext";

THelpIndex THelpIndex::parse(const QString& tsv)
{
    THelpIndex idx;
    const QStringList lines = tsv.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const QStringList parts = line.split(QLatin1Char('\t'));
        if (parts.size() < 2) continue;
        bool ok = false;
        const int ctx = parts[0].trimmed().toInt(&ok);
        if (!ok || parts[1].trimmed().isEmpty()) continue;
        THelpTopic t;
        t.context = ctx;
        t.file = parts[1].trimmed();
        t.title = parts.size() > 2 ? parts[2].trimmed() : t.file;
        if (parts.size() > 3) {
            for (const QString& k : parts[3].split(QLatin1Char(';'))) {
                const QString kw = k.trimmed();
                if (!kw.isEmpty()) t.keywords << kw;
            }
        }
        if (!t.title.isEmpty() && !t.keywords.contains(t.title)) t.keywords << t.title;
        idx.m_byContext.insert(ctx, t);
        for (const QString& kw : t.keywords) {
            const QString key = kw.toLower();
            idx.m_keywordText.insert(key, kw);
            // A topic reached by several context numbers is listed once.
            QList<int>& list = idx.m_byKeyword[key];
            const bool listed = std::any_of(list.cbegin(), list.cend(), [&](int c) {
                return idx.m_byContext.value(c).file == t.file;
            });
            if (!listed) list.append(ctx);
        }
    }
    return idx;
}

const THelpIndex& THelpIndex::bundled()
{
    static const THelpIndex idx = [] {
        QFile f(QStringLiteral(":/help/contexts.tsv"));
        if (!f.open(QIODevice::ReadOnly)) return THelpIndex{};
        return parse(QString::fromUtf8(f.readAll()));
    }();
    return idx;
}

QStringList THelpIndex::keywords() const
{
    QStringList out;
    for (auto it = m_byKeyword.cbegin(); it != m_byKeyword.cend(); ++it)
        out << m_keywordText.value(it.key());
    return out;   // QMap keeps the lower-case keys sorted
}

QList<THelpTopic> THelpIndex::topicsForKeyword(const QString& keyword) const
{
    QList<THelpTopic> out;
    for (int ctx : m_byKeyword.value(keyword.toLower())) out << m_byContext.value(ctx);
    return out;
}

QString THelpIndex::topicUrl(const QString& file)
{
    if (file.contains(QLatin1Char('/'))) return QStringLiteral("qrc:/help/") + file;
    return QStringLiteral("qrc:/help/topics/") + file;
}

// --- help file name and contexts --------------------------------------------

static QString g_helpFile = QStringLiteral("Quenpm.Hlp");

void setHelpFile(const QString& name) { g_helpFile = name; }
QString helpFile() { return g_helpFile; }

void setHelpContext(QWidget* w, int context)
{
    if (w) w->setProperty(kHelpContextProperty, context);
}

void setHelpContext(QAction* a, int context)
{
    if (a) a->setProperty(kHelpContextProperty, context);
}

int helpContextOf(const QWidget* w)
{
    if (auto* menu = qobject_cast<const QMenu*>(w)) {
        if (QAction* a = menu->activeAction()) {
            const QVariant v = a->property(kHelpContextProperty);
            if (v.isValid() && v.toInt() > 0) return v.toInt();
        }
    }
    for (; w; w = w->parentWidget()) {
        const QVariant v = w->property(kHelpContextProperty);
        if (v.isValid() && v.toInt() > 0) return v.toInt();
    }
    return 0;
}

void showHelpContext(int context) { THelpViewer::instance()->openContext(context); }
void showHelpContents() { THelpViewer::instance()->openContents(); }
void showHelpSearch(const QString& keyword) { THelpViewer::instance()->openSearch(keyword); }

namespace {
class HelpKeyFilter : public QObject {
public:
    using QObject::QObject;
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
            QWidget* w = QApplication::activePopupWidget();
            if (!w) w = QApplication::focusWidget();
            if (!w) w = qobject_cast<QWidget*>(watched);
            if (w && w->window() == THelpViewer::instance()) return false;
            const int ctx = helpContextOf(w);
            if (ctx > 0) showHelpContext(ctx);
            else showHelpContents();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};
} // namespace

void installHelpKey(QApplication* app)
{
    static HelpKeyFilter* filter = nullptr;
    if (!filter) {
        filter = new HelpKeyFilter(app);
        app->installEventFilter(filter);
    }
}

} // namespace quen
