#ifndef TAVREL_TESTSUPPORT_H
#define TAVREL_TESTSUPPORT_H

#include "app/core/app.h"
#include "app/core/progressstore.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest> // with the whole of QtCore

#include <memory>

// Every test case works in its own temporary folder as working directory, with its own native
// settings store, so nothing a test writes reaches the user's files or another test.
class TestDir
{
public:
    TestDir()
    {
        QDir::setCurrent(m_dir.path());
        QDir().mkpath(m_dir.path() + "/native");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + "/native");
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path() + "/native");
    }
    ~TestDir() { QDir::setCurrent(m_previous); }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.path() + "/" + name; }

private:
    QTemporaryDir m_dir;
    const QString m_previous = QDir::currentPath();
};

// Connection values of the private MariaDB that test.sh starts.
struct TestDb
{
    static QString host() { return qEnvironmentVariable("TAVREL_TEST_DB_HOST"); }
    static int port() { return qEnvironmentVariableIntValue("TAVREL_TEST_DB_PORT"); }
    static QString name() { return qEnvironmentVariable("TAVREL_TEST_DB_NAME"); }
    static QString user() { return qEnvironmentVariable("TAVREL_TEST_DB_USER"); }
    static QString password() { return qEnvironmentVariable("TAVREL_TEST_DB_PASSWORD"); }
    static bool available() { return !host().isEmpty() && port() > 0; }
};

namespace ts {

// Closing the main window asks the application to quit; without a running loop the request would
// end every later nested loop at once. Running the loop once takes it.
inline void consumeQuitRequest()
{
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

// A value of the native store that keeps the typing record and the totals.
inline QVariant storedRecord(const QString& key)
{
    return QSettings(QStringLiteral("VEK Helper"), QStringLiteral("VEK")).value(QStringLiteral("VekConfig/") + key);
}

// A value of the working folder's configuration file; invalid while nothing was written.
inline QVariant configFileValue(const QString& key)
{
    return QSettings(QStringLiteral("CONFIG/settings.ini"), QSettings::IniFormat)
        .value(QStringLiteral("AppConfig/") + key);
}

inline bool configFileWritten()
{
    return QFile::exists(QStringLiteral("CONFIG/settings.ini"));
}

// A web site on loopback: a request for a path in `bodies` is answered with `status` and that body,
// any other with 404; a path in `held` gets no answer until answer() is called. A path in `streamed`
// gets its body followed by zeros up to that many bytes in all, written as the connection drains.
class WebStub : public QTcpServer
{
public:
    WebStub()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                    if (!socket->peek(65536).contains("\r\n\r\n"))
                        return;
                    const QByteArray request = socket->readAll();
                    requestLines << request.left(request.indexOf("\r\n"));
                    requests << QUrl::fromPercentEncoding(request.split(' ').value(1));
                    if (!held.contains(requests.last()))
                        answer(socket, requests.last());
                });
        });
    }
    void answer(QTcpSocket* socket, const QString& path)
    {
        const QByteArray body = bodies.value(path, "not found");
        const auto left = std::make_shared<qint64>(streamed.value(path, body.size()) - body.size());
        socket->write("HTTP/1.1 " + QByteArray::number(bodies.contains(path) ? status : 404) +
                      " Status\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size() + *left) +
                      "\r\n\r\n" + body);
        const auto more = [socket, left] {
            for (; *left > 0 && socket->bytesToWrite() < 65536; *left -= 65536)
                socket->write(QByteArray(int(qMin<qint64>(*left, 65536)), '\0'));
            if (*left <= 0 && socket->state() == QAbstractSocket::ConnectedState)
                socket->disconnectFromHost();
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }

    QMap<QString, QByteArray> bodies;
    QMap<QString, qint64> streamed;
    int status = 200;
    QStringList held;
    QStringList requests;
    QByteArrayList requestLines;
};

// App::readProgress's total for the text `name` of `length` units, recorded where it has none yet.
inline int progressTotal(const ProgressStore& store, const QString& name, int length)
{
    App::Zdname = name;
    App::SendText = QString(length, QLatin1Char('x'));
    App::readProgress(store);
    return App::Zdzs;
}

} // namespace ts

#ifdef QT_WIDGETS_LIB
#include "app/core/app.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>

#include <functional>
#include <memory>

#include "typing/frmmain.h"

namespace ts {

// The globals a main-window test starts from: defaults, offline, empty collections and record.
inline void resetWindowGlobals()
{
    App::resetConfig();
    App::DbOnline = false;
    App::CanUpload = false;
    App::WebUrl.clear();
    App::PublicIp.clear();
    App::WrongChars.clear();
    App::SlowChars.clear();
    App::Jilu = App::TempJilu = App::Totaljs = App::Totalco = 0;
    App::Totalti = 0.0;
    App::RecordUser.clear();
    App::RecordClearPending = false;
    App::RecordClearUser.clear();
    App::TotalsClearUser.clear();
    App::RecordSyncUser.clear();
    App::OwedRecords.clear();
    App::SignedInName.clear();
    App::KeyCount = App::SelectCount = App::EnterCount = App::BackCount = 0;
    App::LeftKeys = App::RightKeys = App::CorrectCount = 0;
}

inline QString controlName(const QWidget* w)
{
    const QString name = w->objectName().isEmpty() ? QStringLiteral("<unnamed>") : w->objectName();
    return QStringLiteral("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()), name);
}

// The part of `w`, in its own coordinates, that a later (higher) sibling of it or of one of its
// ancestors lies over. Qt leaves transparent siblings out of visibleRegion(), yet they hide and
// take the clicks all the same.
inline QRegion coveredBySiblings(const QWidget* w, const QWidget* window)
{
    QRegion covered;
    for (const QWidget* level = w; level && level != window; level = level->parentWidget()) {
        const QWidget* parent = level->parentWidget();
        if (!parent)
            break;
        const QObjectList& siblings = parent->children();
        for (int i = siblings.indexOf(const_cast<QWidget*>(level)) + 1; i < siblings.size(); ++i) {
            auto* sibling = qobject_cast<const QWidget*>(siblings.at(i));
            if (sibling && sibling->isVisible() && !sibling->isWindow())
                covered += QRect(w->mapFrom(parent, sibling->geometry().topLeft()), sibling->size());
        }
    }
    return covered & w->rect();
}

// Controls not wholly shown: clipped by an ancestor (their visibleRegion() misses part of their
// rectangle) or covered by a sibling. A control's own children (a spin box's editor) count as part
// of it.
inline QStringList clippedControls(const QWidget* window)
{
    QStringList faults;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->isWindow() || !w->isVisibleTo(window))
            continue;
        QRegion seen = w->visibleRegion();
        for (const QWidget* child : w->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (child->isVisible() && !child->isWindow())
                seen += child->geometry() & w->rect();
        // A plain holder may lie under the window's size grip; the controls it holds may not.
        const bool holder = w->metaObject() == &QWidget::staticMetaObject;
        const QRegion hidden = (QRegion(w->rect()) - seen) + (holder ? QRegion() : coveredBySiblings(w, window));
        if (!hidden.isEmpty())
            faults << QStringLiteral("%1 (%2x%3 at %4,%5): %6x%7 px of it not shown")
                          .arg(controlName(w))
                          .arg(w->width())
                          .arg(w->height())
                          .arg(w->mapTo(window, QPoint()).x())
                          .arg(w->mapTo(window, QPoint()).y())
                          .arg(hidden.boundingRect().width())
                          .arg(hidden.boundingRect().height());
    }
    return faults;
}

inline void sendMouse(QWidget* target, QEvent::Type type, const QPoint& global, Qt::MouseButton button,
                      Qt::MouseButtons buttons)
{
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Hands the next modal dialog (or popup menu) to `answer`, which closes it. A dialog the answer
// left open is ended with -1 so the failure stands; after 5 s without one it gives up.
class ModalAnswerer : public QObject
{
public:
    explicit ModalAnswerer(std::function<void(QWidget*)> answer, bool popup = false)
    {
        connect(&m_poll, &QTimer::timeout, this, [this, answer, popup] {
            QWidget* widget = popup ? QApplication::activePopupWidget() : QApplication::activeModalWidget();
            if (!widget) {
                if (++m_tries > 500)
                    m_poll.stop();
                return;
            }
            m_poll.stop();
            ++seen;
            answer(widget);
            auto* dialog = qobject_cast<QDialog*>(widget);
            if (dialog && dialog->isVisible() && QApplication::activeModalWidget() == dialog)
                dialog->done(-1);
        });
        m_poll.start(10);
    }
    int seen = 0;

private:
    QTimer m_poll;
    int m_tries = 0;
};

// Answers the next frame message box by its OK/yes or Cancel/no button and keeps its title and text.
// `whileShown` is what the user does elsewhere while the box is up.
class BoxAnswerer : public ModalAnswerer
{
public:
    explicit BoxAnswerer(bool yes)
        : ModalAnswerer([this, yes](QWidget* box) {
              title = box->windowTitle();
              if (auto* info = box->findChild<QLabel*>(QStringLiteral("labInfo"))) {
                  text = info->text();
                  format = info->textFormat();
              }
              if (whileShown)
                  whileShown();
              auto* button = box->findChild<QPushButton*>(yes ? QStringLiteral("btnOk") : QStringLiteral("btnCancel"));
              if (button && button->isVisible())
                  button->click();
          })
    {
    }
    QString title; // "提示", "询问" or "错误"
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    std::function<void()> whileShown;
};


// One main window in a fresh working folder with its own store, started from the default
// configuration and offline. Set App:: values first, then open(); the window is closed (and its quit
// request taken) when the fixture goes. Everything is reached as a user reaches it: the panes and
// buttons by their form names, the table by its header texts, the status labels by their captions,
// commands by their menu path.
class MainWindowFixture
{
public:
    MainWindowFixture()
    {
        resetWindowGlobals();
        App::Quchu = App::Tihuan = false; // passages laid as given
        QApplication::clipboard()->clear();
    }
    ~MainWindowFixture() { close(); }

    frmMain& open(bool show = false)
    {
        close();
        m_window = std::make_unique<frmMain>();
        if (show) {
            m_window->show();
            m_window->activateWindow();
            if (!QTest::qWaitForWindowExposed(m_window.get()))
                qWarning("the main window was not exposed");
        }
        return *m_window;
    }
    void close()
    {
        if (!m_window)
            return;
        m_window->close();
        consumeQuitRequest();
        m_window.reset();
    }
    frmMain& w() const { return *m_window; }
    TestDir& dir() { return m_dir; }
    QTextEdit* reference() const { return m_window->findChild<QTextEdit*>(QStringLiteral("textEdit")); }
    QTextEdit* typing() const { return m_window->findChild<QTextEdit*>(QStringLiteral("textEdit2")); }
    QPushButton* button(const QString& name) const { return m_window->findChild<QPushButton*>(name); }
    QString title() const { return m_window->findChild<QLabel*>(QStringLiteral("lab_Title"))->text(); }
    // Every title `action` shows, so a message that flashes and goes is seen.
    QStringList titlesDuring(const std::function<void()>& action) const
    {
        QStringList seen{title()};
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (seen.last() != title())
                seen << title();
        });
        poll.start(5);
        action();
        seen << title();
        return seen;
    }

    // Lays `text` with the clipboard command, as a user loads a passage; the clipboard is emptied
    // afterwards so the result line is the next thing on it.
    void lay(const QString& text)
    {
        QApplication::clipboard()->setText(text);
        m_window->getClipboard();
        QApplication::clipboard()->clear();
    }
    // Key clicks into the typing pane; a character beyond Latin-1 and a line break come as an
    // input-method commit (Return never reaches the pane).
    void type(const QString& text)
    {
        for (const QChar c : text) {
            if (c.unicode() > 0xFF || c == QLatin1Char('\n'))
                commit(QString(c));
            else
                QTest::keyClicks(typing(), QString(c));
        }
    }
    void commit(const QString& text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(typing(), &event);
    }
    // The result line the end of a run puts on the clipboard; empty when none comes within 5 s.
    QString waitLine() const
    {
        const auto hasLine = [] { return QApplication::clipboard()->text().contains(QStringLiteral("校检:")); };
        return QTest::qWaitFor(hasLine, 5000) ? QApplication::clipboard()->text() : QString();
    }

    QAbstractItemModel* table() const { return m_window->findChild<QTableView*>()->model(); }
    // A cell as shown: a hidden column shows nothing.
    QString cell(int row, const QString& header) const
    {
        QAbstractItemModel* model = table();
        for (int column = 0; column < model->columnCount(); ++column)
            if (model->headerData(column, Qt::Horizontal).toString() == header)
                return m_window->findChild<QTableView*>()->isColumnHidden(column)
                           ? QStringLiteral("hidden column ") + header
                           : model->index(row, column).data().toString();
        return QStringLiteral("no column ") + header;
    }
    // The status-bar label whose text starts with `caption`.
    QLabel* status(const QString& caption) const
    {
        for (QLabel* label : m_window->findChildren<QLabel*>())
            if (label->text().startsWith(caption))
                return label;
        return nullptr;
    }
    QString statusText(const QString& caption) const
    {
        QLabel* label = status(caption);
        return label ? label->text() : QStringLiteral("no label ") + caption;
    }
    QAction* action(const QStringList& path) const { return findAction(m_window->findChild<QMenuBar*>()->actions(), path); }
    static QAction* findAction(const QList<QAction*>& actions, const QStringList& path)
    {
        for (QAction* action : actions) {
            if (action->text() != path.first())
                continue;
            if (path.size() == 1)
                return action;
            if (action->menu())
                return findAction(action->menu()->actions(), path.mid(1));
        }
        return nullptr;
    }
    QColor background(int position) const { return formatAt(reference(), position).background().color(); }
    static QTextCharFormat formatAt(QTextEdit* pane, int position)
    {
        QTextCursor cursor(pane->document());
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        return cursor.charFormat();
    }

private:
    TestDir m_dir;
    std::unique_ptr<frmMain> m_window;
};

} // namespace ts
#endif // QT_WIDGETS_LIB

#endif
