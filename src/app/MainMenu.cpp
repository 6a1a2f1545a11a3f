#include "MainMenu.h"

#include <QAction>
#include <QMenuBar>

namespace quillet::app {

namespace {

// One row per item in menu order. A row with an empty name is a separator; `submenu` names the
// submenu the item sits in, within its menu.
struct MenuRow {
    const char16_t* menu;
    const char16_t* submenu;
    const char* name;
    const char16_t* caption;
};

constexpr MenuRow kMenu[] = {
    {u"파일", u"데이터베이스 관리", "SaveCurrent1", u"데이터베이스 백업"},
    {u"파일", u"데이터베이스 관리", "LoadFromSavedDatabase1", u"백업된 데이터베이스 사용"},
    {u"파일", nullptr, "", nullptr},
    {u"파일", nullptr, "Options1", u"옵션"},
    {u"파일", nullptr, "", nullptr},
    {u"파일", nullptr, "ExitProgram1", u"프로그램 종료"},
    {u"캡처", nullptr, "StopCapturing1", u"캡처 멈춤"},
    {u"캡처", nullptr, "", nullptr},
    {u"캡처", u"캡처 필터", "Text1", u"텍스트"},
    {u"캡처", u"캡처 필터", "Image1", u"이미지"},
    {u"캡처", nullptr, "", nullptr},
    {u"캡처", u"이미지 캡처", "FullScreen1", u"전체 화면        Ctrl+Alt+F"},
    {u"캡처", u"이미지 캡처", "Region1", u"범위               Ctrl+Alt+D"},
    {u"편집", nullptr, "ClipProperties2", u"클립 속성"},
    {u"편집", nullptr, "", nullptr},
    {u"편집", nullptr, "Find1", u"찾기"},
    {u"편집", nullptr, "", nullptr},
    {u"편집", nullptr, "LockSelectedClips2", u"선택한 클립 잠금"},
    {u"편집", nullptr, "UnlockSelectedClips1", u"선택한 클립 잠금 해제"},
    {u"편집", nullptr, "", nullptr},
    {u"편집", nullptr, "DeleteSelectedClips1", u"선택한 클립 삭제"},
    {u"편집", nullptr, "DeleteAllClips1", u"모든 클립 삭제"},
    {u"편집", nullptr, "", nullptr},
    {u"편집", nullptr, "CreateEmptyClip1", u"빈 클립 생성"},
    {u"편집", nullptr, "", nullptr},
    {u"편집", nullptr, "ExportClip1", u"선택한 클립 내보내기"},
    {u"보기", nullptr, "SelectPreviousClip1", u"이전 클립 선택"},
    {u"보기", nullptr, "SelectNextClip1", u"다음 클립 선택"},
    {u"보기", nullptr, "", nullptr},
    {u"보기", nullptr, "ChangeProgramsTransparency1", u"프로그램 투명도 변경"},
    {u"도움말", nullptr, "HelpDocument1", u"도움말 문서"},
    {u"도움말", nullptr, "", nullptr},
    {u"도움말", nullptr, "EmailUs1", u"E-mail Us"},
    {u"도움말", nullptr, "Website1", u"웹사이트"},
    {u"도움말", nullptr, "About1", u"About"},
};

QString Text(const char16_t* text) {
    return QString::fromUtf16(text);
}

}  // namespace

MainMenu::MainMenu(QMenuBar& bar) {
    QMenu* menu = nullptr;
    QMenu* submenu = nullptr;
    QString menuCaption;
    QString submenuCaption;
    for (const MenuRow& row : kMenu) {
        if (Text(row.menu) != menuCaption) {
            menuCaption = Text(row.menu);
            menu = bar.addMenu(menuCaption);
            menu->setAccessibleName(menuCaption);
            submenu = nullptr;
            submenuCaption.clear();
        }
        QMenu* target = menu;
        if (row.submenu) {
            if (Text(row.submenu) != submenuCaption) {
                submenuCaption = Text(row.submenu);
                submenu = menu->addMenu(submenuCaption);
                submenu->setAccessibleName(submenuCaption);
            }
            target = submenu;
        } else {
            submenu = nullptr;
            submenuCaption.clear();
        }
        if (*row.name == '\0') {
            target->addSeparator();
            continue;
        }
        QAction* action = target->addAction(Text(row.caption));
        action->setObjectName(QLatin1String(row.name));
        items_.insert(action->objectName(), action);
    }
}

}  // namespace quillet::app
