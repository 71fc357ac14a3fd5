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

// --- viewer ------------------------------------------------------------------

THelpViewer::THelpViewer(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Quenpm Help"));
    resize(860, 620);

    auto* contentsBtn = new QPushButton(QStringLiteral("&Contents"), this);
    auto* backBtn = new QPushButton(QStringLiteral("&Back"), this);
    auto* fwdBtn = new QPushButton(QStringLiteral("&Forward"), this);
    auto* tools = new QHBoxLayout;
    tools->addWidget(contentsBtn);
    tools->addWidget(backBtn);
    tools->addWidget(fwdBtn);
    tools->addStretch();

    auto* left = new QWidget(this);
    auto* lv = new QVBoxLayout(left);
    lv->setContentsMargins(0, 0, 0, 0);
    lv->addWidget(new QLabel(QStringLiteral("Type a &keyword to find:"), left));
    m_filter = new QLineEdit(left);
    m_filter->setObjectName(QStringLiteral("KeywordEdit"));
    static_cast<QLabel*>(lv->itemAt(0)->widget())->setBuddy(m_filter);
    lv->addWidget(m_filter);
    m_keywords = new QListWidget(left);
    m_keywords->setObjectName(QStringLiteral("KeywordList"));
    lv->addWidget(m_keywords, 3);
    lv->addWidget(new QLabel(QStringLiteral("Topics found:"), left));
    m_topics = new QListWidget(left);
    m_topics->setObjectName(QStringLiteral("TopicList"));
    lv->addWidget(m_topics, 1);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(true);

    auto* split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(m_browser);
    split->setStretchFactor(1, 3);
    split->setSizes({220, 640});

    auto* v = new QVBoxLayout(this);
    v->addLayout(tools);
    v->addWidget(split);

    connect(contentsBtn, &QPushButton::clicked, this, &THelpViewer::openContents);
    connect(backBtn, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(fwdBtn, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, backBtn, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, fwdBtn, &QWidget::setEnabled);
    backBtn->setEnabled(false);
    fwdBtn->setEnabled(false);
    connect(m_filter, &QLineEdit::textChanged, this, &THelpViewer::fillKeywords);
    connect(m_keywords, &QListWidget::currentTextChanged, this, &THelpViewer::showKeyword);
    connect(m_topics, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0) return;
        const QString url = m_topics->item(row)->data(Qt::UserRole).toString();
        if (!url.isEmpty()) m_browser->setSource(QUrl(url));
    });
    fillKeywords(QString());
}

THelpViewer* THelpViewer::instance()
{
    static QPointer<THelpViewer> viewer;
    if (!viewer) viewer = new THelpViewer;
    return viewer;
}

void THelpViewer::bringUp()
{
    show();
    raise();
    activateWindow();
}

void THelpViewer::openContents()
{
    if (QFile::exists(QStringLiteral(":/help/contents.html"))) {
        m_browser->setSource(QUrl(QStringLiteral("qrc:/help/contents.html")));
    } else {
        m_browser->setHtml(QStringLiteral("<h2>Quenpm Help</h2><p>The help contents are not available in this build.</p>"));
    }
    bringUp();
}

void THelpViewer::openContext(int context)
{
    const THelpIndex& idx = THelpIndex::bundled();
    if (!idx.hasContext(context)) {
        openContents();
        return;
    }
    const QString url = THelpIndex::topicUrl(idx.topic(context).file);
    if (!QFile::exists(url.mid(3))) {   // "qrc:/x" -> ":/x"
        openContents();
        return;
    }
    m_browser->setSource(QUrl(url));
    bringUp();
}

void THelpViewer::openSearch(const QString& keyword)
{
    m_filter->setText(keyword);
    fillKeywords(keyword);
    if (m_browser->source().isEmpty()) openContents();
    bringUp();
    m_filter->setFocus();
}

QString THelpViewer::currentSource() const { return m_browser->source().toString(); }

void THelpViewer::fillKeywords(const QString& filter)
{
    m_keywords->clear();
    const QString f = filter.trimmed();
    for (const QString& k : THelpIndex::bundled().keywords())
        if (f.isEmpty() || k.contains(f, Qt::CaseInsensitive)) m_keywords->addItem(k);
    // Select the first keyword that starts with the typed text.
    for (int i = 0; i < m_keywords->count(); ++i) {
        if (m_keywords->item(i)->text().startsWith(f, Qt::CaseInsensitive)) {
            m_keywords->setCurrentRow(i);
            break;
        }
    }
}

void THelpViewer::showKeyword(const QString& keyword)
{
    m_topics->clear();
    for (const THelpTopic& t : THelpIndex::bundled().topicsForKeyword(keyword)) {
        auto* item = new QListWidgetItem(t.title, m_topics);
        item->setData(Qt::UserRole, THelpIndex::topicUrl(t.file));
    }
}

} // namespace quen
