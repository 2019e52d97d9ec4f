// A drag source on the X server for the tests, as a file manager is one: it
// shows a small window at the position it is given, and a press there drags
// the URI it was given. It prints "ready" once shown, then what the drop
// target answered in the protocol's own messages: "status accepted=A" for
// each answer while dragged, "finished accepted=A" once dropped. Qt's own
// result of a drag is worked out from the last status alone, so it cannot
// tell what the target said once the drop was let go; the messages can.
//   nvdragsource URI X Y
#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class XdndAnswers : public QAbstractNativeEventFilter
{
public:
    explicit XdndAnswers(xcb_connection_t *connection) : m_connection(connection) {}

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE)
            return false;
        const auto *client = reinterpret_cast<const xcb_client_message_event_t *>(event);
        const std::string name = atomName(client->type);
        // Bit 0 of the second word: the target takes (or took) the drop.
        if (name == "XdndStatus")
            std::printf("status accepted=%u\n", client->data.data32[1] & 1);
        else if (name == "XdndFinished")
            std::printf("finished accepted=%u\n", client->data.data32[1] & 1);
        std::fflush(stdout);
        return false;
    }

private:
    std::string atomName(xcb_atom_t atom) const
    {
        xcb_get_atom_name_reply_t *reply =
            xcb_get_atom_name_reply(m_connection, xcb_get_atom_name(m_connection, atom), nullptr);
        if (!reply)
            return {};
        std::string name(xcb_get_atom_name_name(reply),
                         size_t(xcb_get_atom_name_name_length(reply)));
        std::free(reply);
        return name;
    }

    xcb_connection_t *m_connection;
};

class Source : public QWidget
{
public:
    explicit Source(QByteArray uri) : m_uri(std::move(uri)) {}

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        auto *drag = new QDrag(this);
        auto *data = new QMimeData;
        data->setData(QStringLiteral("text/uri-list"), m_uri + "\r\n");
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction | Qt::MoveAction);
        // The finished message may come after the drag's own end.
        QTimer::singleShot(2000, qApp, &QApplication::quit);
    }
    void showEvent(QShowEvent *) override
    {
        QTimer::singleShot(0, this, [] {
            std::puts("ready");
            std::fflush(stdout);
        });
    }

private:
    QByteArray m_uri;
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fputs("usage: nvdragsource URI X Y\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    auto *x11 = app.nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) {
        std::fputs("nvdragsource: not on an X server\n", stderr);
        return 1;
    }
    XdndAnswers answers(x11->connection());
    app.installNativeEventFilter(&answers);
    Source source(argv[1]);
    source.setWindowTitle(QStringLiteral("drag source"));
    source.setGeometry(std::atoi(argv[2]), std::atoi(argv[3]), 80, 80);
    source.show();
    return app.exec();
}
