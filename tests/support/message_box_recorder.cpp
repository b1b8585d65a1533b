#include "message_box_recorder.h"

#include "win_defs.h"

MessageBoxRecorder::MessageBoxRecorder()
{
    m_previous = AfxSetMessageBoxHook([this](const MessageBoxRequest& request) {
        m_boxes.append(request);
        return static_cast<int>(IDOK);
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    AfxSetMessageBoxHook(std::move(m_previous));
}
