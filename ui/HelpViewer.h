// THelpViewer: the one non-modal help window a program shares: the topic
// pages of the help bundle (Help.h), the contents and the keyword search.
#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace quen {

class THelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit THelpViewer(QWidget* parent = nullptr);
    static THelpViewer* instance();   // created on first use

    void openContext(int context);
    void openContents();
    void openSearch(const QString& keyword);

    QString currentSource() const;    // URL shown, for tests
    QTextBrowser* browser() const { return m_browser; }
    QListWidget* keywordList() const { return m_keywords; }
    QLineEdit* keywordFilter() const { return m_filter; }

private:
    void fillKeywords(const QString& filter);
    void showKeyword(const QString& keyword);
    void bringUp();

    QLineEdit* m_filter;
    QListWidget* m_keywords;
    QListWidget* m_topics;
    QTextBrowser* m_browser;
};

} // namespace quen
