#pragma once

namespace uikit {
class SHostWnd;
class STabCtrl;
class SButton;
}  // namespace uikit

// The file area on the left: the pages of `tab_file` and the caption of the log button
// `but_sync_log`, which reads "返回列表" exactly while the logs are shown.
class CFileArea {
public:
    enum Page { EmptyPage = 0, FileListPage = 1, LogPage = 2, PreviewPage = 3 };

    explicit CFileArea(const uikit::SHostWnd& host);

    void Show(Page page);
    bool Shows(Page page) const;

private:
    uikit::STabCtrl* tab_file = nullptr;
    uikit::SButton* but_sync_log = nullptr;
};
