#include "HelpViewer.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "Help.h"

namespace quen {

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
