#include "link/ScriptedTransport.h"

bool ScriptedTransport::open(const Endpoint &to)
{
    opens.push_back(to);
    endpoint_ = to;
    open_ = !failOpen;
    return open_;
}

void ScriptedTransport::close()
{
    ++closes;
    open_ = false;
}

void ScriptedTransport::write(const QByteArray &bytes)
{
    if (!open_ && !writeWhenClosed)
        return;
    writes.push_back(bytes);
    if (responder)
        responder(*this, bytes);
}

QByteArray ScriptedTransport::readAll()
{
    ++reads;
    QByteArray out;
    out.swap(input_);
    return out;
}

void ScriptedTransport::inject(const QByteArray &bytes)
{
    const qint64 room = MaxBuffered - input_.size();
    input_.append(bytes.left(std::max<qint64>(0, room)));
}

void ScriptedTransport::drop()
{
    open_ = false;
    input_.clear();
}

QByteArray ScriptedTransport::takeWrites()
{
    QByteArray all;
    for (const QByteArray &w : writes)
        all += w;
    writes.clear();
    return all;
}
