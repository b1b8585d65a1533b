#pragma once

#include "message_box.h"

#include <QList>

// While it lives, message boxes are recorded instead of shown, each answered
// with IDOK.
class MessageBoxRecorder
{
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const QList<MessageBoxRequest>& Boxes() const { return m_boxes; }
    int Count() const { return static_cast<int>(m_boxes.size()); }
    void Clear() { m_boxes.clear(); }

private:
    QList<MessageBoxRequest> m_boxes;
    MessageBoxHook m_previous;
};
