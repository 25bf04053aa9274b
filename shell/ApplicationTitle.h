#pragma once

#include <string>

namespace ovin {

/// The application's title: the tip of the tray icon and the caption of error reports. The entry sets it
/// before the main window exists, and the main window's creation replaces it.
class ApplicationTitle final {
public:
    const std::string& get() const { return m_title; }
    void set(std::string title) { m_title = std::move(title); }

private:
    std::string m_title;
};

}  // namespace ovin
