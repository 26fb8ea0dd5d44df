#pragma once

#include <type_traits>

class CCmdTarget;
class CCmdUI;

// What OnCmdMsg is asked to do with a command id: run its handler, run its
// update handler, or only say whether there is a handler.
enum CmdCode : int {
    CN_COMMAND = 0,
    CN_UPDATE_COMMAND_UI = 1,
    CN_PROBE_COMMAND = 2,
};

// One line of a message map: a command id (or a range of ids) with its
// handler or its update handler. Built with the ON_... macros below.
struct CmdMapEntry {
    int nID = 0;
    int nLastID = 0;
    void (*pfnCommand)(CCmdTarget& target, int nID) = nullptr;
    void (*pfnUpdate)(CCmdTarget& target, CCmdUI* pCmdUI) = nullptr;

    template <auto F, class T> static constexpr CmdMapEntry Command(int nID, int nLastID);
    template <auto F, class T> static constexpr CmdMapEntry CommandRange(int nID, int nLastID);
    template <auto F, class T> static constexpr CmdMapEntry Update(int nID, int nLastID);
};

// A class's message map: its own entries (ending with an empty one) and the
// way to its base class's map.
struct CmdMap {
    const CmdMap* (*pfnGetBaseMap)();
    const CmdMapEntry* lpEntries;
};

// Anything that handles commands: views, frames, the application. A command
// travels along the framework's route (active view, its document, its child
// frame, the main frame, the application) until a target's message map has
// a handler for it.
//
// A class with handlers declares its map in the class:
//
//   class CMyView : public CListView {
//       void OnEditProperties();
//       void OnUpdateEditProperties(CCmdUI* pCmdUI);
//       DECLARE_MESSAGE_MAP()
//   };
//
// and fills it in its source file:
//
//   BEGIN_MESSAGE_MAP(CMyView, CListView)
//       ON_COMMAND(ID_EDIT_PROPERTIES, OnEditProperties)
//       ON_UPDATE_COMMAND_UI(ID_EDIT_PROPERTIES, OnUpdateEditProperties)
//   END_MESSAGE_MAP()
//
// Handlers may be private and may be inherited (ON_COMMAND(ID_FILE_OPEN,
// OnFileOpen) in a CWinApp-derived map names CWinApp::OnFileOpen).
class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // Looks nID up in this target's message map and its bases' maps. For
    // CN_COMMAND and CN_UPDATE_COMMAND_UI it runs the handler found; for
    // CN_PROBE_COMMAND it only reports one. Targets that pass commands on
    // (views to their document, frames to their view) override this. Returns
    // true when handled.
    virtual bool OnCmdMsg(int nID, int nCode, CCmdUI* pCmdUI);

protected:
    static const CmdMap* GetThisMessageMap();
    virtual const CmdMap* GetMessageMap() const;
};

namespace afx_detail {

template <class F> struct MemberClass;
template <class C, class R, class... A> struct MemberClass<R (C::*)(A...)> { using type = C; };

template <auto F> using MemberClassOf = typename MemberClass<decltype(F)>::type;

template <auto F> void CallCommand(CCmdTarget& target, int /*nID*/) {
    (static_cast<MemberClassOf<F>&>(target).*F)();
}

template <auto F> void CallCommandRange(CCmdTarget& target, int nID) {
    (static_cast<MemberClassOf<F>&>(target).*F)(nID);
}

template <auto F> void CallUpdate(CCmdTarget& target, CCmdUI* pCmdUI) {
    (static_cast<MemberClassOf<F>&>(target).*F)(pCmdUI);
}

} // namespace afx_detail

template <auto F, class T> constexpr CmdMapEntry CmdMapEntry::Command(int nID, int nLastID) {
    static_assert(std::is_base_of_v<afx_detail::MemberClassOf<F>, T>,
                  "the handler must be a member of the class or of a base");
    return CmdMapEntry{nID, nLastID, &afx_detail::CallCommand<F>, nullptr};
}

template <auto F, class T> constexpr CmdMapEntry CmdMapEntry::CommandRange(int nID, int nLastID) {
    static_assert(std::is_base_of_v<afx_detail::MemberClassOf<F>, T>,
                  "the handler must be a member of the class or of a base");
    return CmdMapEntry{nID, nLastID, &afx_detail::CallCommandRange<F>, nullptr};
}

template <auto F, class T> constexpr CmdMapEntry CmdMapEntry::Update(int nID, int nLastID) {
    static_assert(std::is_base_of_v<afx_detail::MemberClassOf<F>, T>,
                  "the handler must be a member of the class or of a base");
    return CmdMapEntry{nID, nLastID, nullptr, &afx_detail::CallUpdate<F>};
}

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const ::CmdMap* GetThisMessageMap();                                                    \
    const ::CmdMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const ::CmdMap* theClass::GetMessageMap() const {                                              \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const ::CmdMap* theClass::GetThisMessageMap() {                                                \
        using ThisClass [[maybe_unused]] = theClass;                                               \
        using TheBaseClass = baseClass;                                                            \
        static const ::CmdMapEntry _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    ::CmdMapEntry {}                                                                               \
    }                                                                                              \
    ;                                                                                              \
    static const ::CmdMap _messageMap{&TheBaseClass::GetThisMessageMap, _messageEntries};          \
    return &_messageMap;                                                                           \
    }

// void memberFxn()
#define ON_COMMAND(id, memberFxn)                                                                  \
    ::CmdMapEntry::Command<&ThisClass::memberFxn, ThisClass>((id), (id)),
// void memberFxn(int nID), for every id from id to idLast
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                    \
    ::CmdMapEntry::CommandRange<&ThisClass::memberFxn, ThisClass>((id), (idLast)),
// void memberFxn(CCmdUI* pCmdUI)
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                        \
    ::CmdMapEntry::Update<&ThisClass::memberFxn, ThisClass>((id), (id)),
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                          \
    ::CmdMapEntry::Update<&ThisClass::memberFxn, ThisClass>((id), (idLast)),
