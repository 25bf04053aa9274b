#pragma once

#include <deque>
#include <optional>

namespace ovin {

/// Answers given in advance to the next dialogs of one kind, in order; for runs that nobody can answer, such
/// as tests. A dialog takes the first queued answer instead of showing itself.
template <typename Answer>
class AnswerQueue final {
public:
    void push(Answer answer) { m_answers.push_back(std::move(answer)); }

    /// The next queued answer, or none when the dialog must be shown.
    std::optional<Answer> take()
    {
        if (m_answers.empty())
            return std::nullopt;
        Answer answer = std::move(m_answers.front());
        m_answers.pop_front();
        return answer;
    }

private:
    std::deque<Answer> m_answers;
};

}  // namespace ovin
