#include "support/windowfixture.h"

WindowFixture::WindowFixture(const Endpoints& endpoints, const QString& version) {
    seams.dialogs = &dialogs;
    seams.desktop = &desktop;
    seams.paths = AppPaths(folders.programDir(), folders.workingDir());
    seams.endpoints = endpoints;
    seams.versionText = version;
}

WindowFixture::~WindowFixture() { destroy(); }

TForm1& WindowFixture::create() {
    if (!m_window)
        m_window = std::make_unique<TForm1>(seams);
    return *m_window;
}

TForm1& WindowFixture::show() {
    create();
    m_window->show();
    return *m_window;
}

void WindowFixture::destroy() { m_window.reset(); }
