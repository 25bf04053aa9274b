#include "sCheckPrevious.h"

#include "platform/InstanceBlock.h"

namespace ovin {

PreviousInstanceCheck::PreviousInstanceCheck(InstanceBlock& block) : m_block(block) {}

PreviousInstanceCheck::~PreviousInstanceCheck() { Release(); }

bool PreviousInstanceCheck::CheckPreviousInstance(std::int32_t window, std::int32_t maxInstances)
{
    const bool existed = m_block.createOrOpen();
    m_held = true;
    if (!existed) {
        m_block.setWindow(window);
        m_block.setCount(1);
        return false;
    }
    if (maxInstances > m_block.count()) {
        m_block.setWindow(window);
        m_block.setCount(m_block.count() + 1);
        return false;
    }
    // The running instance restores and raises its own window when it gets
    // "showform"; a window of another process cannot be raised from here.
    m_admitted = false;
    return true;
}

void PreviousInstanceCheck::SetInstanceWindow(std::int32_t window)
{
    if (m_held && m_admitted)
        m_block.setWindow(window);
}

void PreviousInstanceCheck::Release()
{
    if (!m_held)
        return;
    if (m_tested && m_admitted)
        m_block.setCount(m_block.count() - 1);
    m_block.close();
    m_held = false;
}

}  // namespace ovin
