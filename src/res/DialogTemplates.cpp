#include "KantelResources.h"
#include "resource.h"

#include "framework/ui/DialogTemplate.h"

#include <QtGlobal>

#include <array>

namespace {

// The framework's button ids; the program's code knows them as IDOK and
// IDCANCEL.
constexpr int kOk = 1;
constexpr int kCancel = 2;

using C = DialogControl;

constexpr unsigned kLabel = 0;
constexpr unsigned kValue = C::Sunken | C::NoPrefix;
constexpr unsigned kButton = C::TabStop;
constexpr unsigned kDefault = C::TabStop | C::DefaultButton;
constexpr unsigned kNumberEdit = C::TabStop | C::Number | C::Border | C::AutoHScroll;
constexpr unsigned kReadOnlyNumber = kNumberEdit | C::ReadOnly;
constexpr unsigned kReadOnlyEdit = C::TabStop | C::ReadOnly | C::Border | C::AutoHScroll;

constexpr const char* kFont = "MS Sans Serif";

constexpr std::array kHeaderInfoControls{
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "File length:"), kLabel, 7, 9, 42, 8},
    C{IDC_FILE_LENGTH, C::Edit, "", kReadOnlyEdit, 51, 7, 46, 12},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Sample data offset:"), kLabel, 111, 9,
      66, 8},
    C{IDC_SAMPLE_DATA_OFFSET, C::Edit, "", kReadOnlyEdit, 180, 7, 46, 12},
    C{IDC_STATIC, C::GroupBox, QT_TRANSLATE_NOOP("Resources", "Sound Events"), kLabel, 7, 27, 103,
      44},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Count:"), kLabel, 13, 42, 26, 8},
    C{IDC_EVENT_COUNT, C::Edit, "", kReadOnlyEdit, 57, 40, 46, 12},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Table offset:"), kLabel, 13, 55, 44,
      8},
    C{IDC_EVENT_TABLE_OFFSET, C::Edit, "", kReadOnlyEdit, 57, 53, 46, 12},
    C{IDC_STATIC, C::GroupBox, QT_TRANSLATE_NOOP("Resources", "Sound Resources"), kLabel, 123, 27,
      103, 44},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Count:"), kLabel, 129, 42, 26, 8},
    C{IDC_RESOURCE_COUNT, C::Edit, "", kReadOnlyEdit, 173, 40, 46, 12},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Table offset:"), kLabel, 129, 55, 44,
      8},
    C{IDC_RESOURCE_TABLE_OFFSET, C::Edit, "", kReadOnlyEdit, 173, 53, 46, 12},
};

// As wide as a file name of fifteen wide characters ("WWW...") needs: the
// storage box and its file name field take that room, and what stands to
// their right stands further over.
constexpr std::array kSampleResourceControls{
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Resource ID:"), kLabel, 7, 7, 47, 8},
    C{IDC_RESOURCE_ID, C::Static, "", kValue, 59, 7, 35, 10},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Resource type:"), kLabel, 101, 7, 53,
      8},
    C{IDC_RESOURCE_TYPE, C::Static, "", kValue, 158, 7, 155, 10},
    C{IDC_STATIC, C::GroupBox, QT_TRANSLATE_NOOP("Resources", "Storage"), kLabel, 7, 27, 196, 89},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "&Type:"), kLabel, 13, 44, 23, 8},
    C{IDC_STORAGE, C::ComboBox, "", C::TabStop | C::DropDownList | C::VScroll, 51, 42, 56, 51},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "File name:"), kLabel, 13, 60, 39, 8},
    C{IDC_FILE_NAME, C::Static, "", kValue, 51, 59, 116, 10},
    C{IDC_SELECT, C::PushButton, QT_TRANSLATE_NOOP("Resources", "&Select"), kButton, 169, 58, 28,
      12},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "&Offset:"), kLabel, 13, 78, 26, 8},
    C{IDC_OFFSET, C::Edit, "", kReadOnlyNumber, 51, 76, 56, 14},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "&Length:"), kLabel, 13, 96, 34, 8},
    C{IDC_LENGTH, C::Edit, "", kReadOnlyNumber, 51, 94, 56, 14},
    C{IDC_STATIC, C::GroupBox, QT_TRANSLATE_NOOP("Resources", "Loop"), kLabel, 218, 28, 95, 58},
    C{IDC_LOOPED, C::CheckBox, QT_TRANSLATE_NOOP("Resources", "&Enabled"),
      C::TabStop | C::AutoCheck, 228, 41, 42, 10},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "St&art:"), kLabel, 228, 55, 16, 8},
    C{IDC_LOOP_START, C::Edit, "", kNumberEdit, 263, 53, 42, 14},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Le&ngth:"), kLabel, 228, 70, 23, 8},
    C{IDC_LOOP_LENGTH, C::Edit, "", kNumberEdit, 263, 68, 42, 14},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Sample &rate:"), kLabel, 219, 96, 44,
      8},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "&Channels:"), kLabel, 219, 111, 36, 8},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "&Bits:"), kLabel, 219, 125, 18, 8},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "&Volume:"), kLabel, 7, 125, 30, 8},
    C{IDC_VOLUME, C::Edit, "", kNumberEdit, 51, 123, 40, 14},
    C{kOk, C::PushButton, QT_TRANSLATE_NOOP("Resources", "OK"), kDefault, 209, 144, 50, 14},
    C{kCancel, C::PushButton, QT_TRANSLATE_NOOP("Resources", "Cancel"), kButton, 263, 144, 50, 14},
    C{IDC_SAMPLE_RATE, C::Static, "", C::NoPrefix, 267, 96, 46, 8},
    C{IDC_CHANNELS, C::Static, "", C::NoPrefix, 267, 111, 46, 8},
    C{IDC_BITS, C::Static, "", C::NoPrefix, 267, 125, 46, 8},
};

// The storage list's items; an item's index is the storage code it stands for.
constexpr std::array kSampleResourceInit{
    DialogInitItem{IDC_STORAGE, QT_TRANSLATE_NOOP("Resources", "External")},
    DialogInitItem{IDC_STORAGE, QT_TRANSLATE_NOOP("Resources", "Bank")},
};

constexpr std::array kSelectSoundFileControls{
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "&Sound file:"), kLabel, 7, 7, 42, 8},
    C{IDC_SOUND_FILE, C::Edit, "", C::TabStop | C::Border | C::AutoHScroll, 7, 17, 105, 14},
    C{IDC_PLAY, C::PushButton, QT_TRANSLATE_NOOP("Resources", "&Play"), kButton, 7, 33, 45, 14},
    C{IDC_BROWSE, C::PushButton, QT_TRANSLATE_NOOP("Resources", "&Browse..."), kButton, 115, 17, 50,
      14},
    C{IDC_KEEP_RATE, C::CheckBox, QT_TRANSLATE_NOOP("Resources", "&Keep its own sample rate"),
      C::TabStop | C::AutoCheck, 7, 51, 158, 10},
    C{IDC_MATCH_LOUDNESS, C::CheckBox,
      QT_TRANSLATE_NOOP("Resources", "&Match the loudness of the sound it replaces"),
      C::TabStop | C::AutoCheck, 7, 63, 158, 10},
    C{kOk, C::PushButton, QT_TRANSLATE_NOOP("Resources", "OK"), kDefault, 61, 33, 50, 14},
    C{kCancel, C::PushButton, QT_TRANSLATE_NOOP("Resources", "Cancel"), kButton, 115, 33, 50, 14},
};

constexpr std::array kSoundEventControls{
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Event ID:"), kLabel, 7, 8, 35, 8},
    C{IDC_EVENT_ID, C::Static, "", kValue, 44, 7, 20, 10},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Type:"), kLabel, 7, 22, 26, 8},
    C{IDC_EVENT_TYPE, C::Static, "", kValue, 44, 21, 55, 10},
    C{IDC_STOPABLE, C::CheckBox, QT_TRANSLATE_NOOP("Resources", "Stopable"),
      C::TabStop | C::AutoCheck, 153, 7, 50, 10},
    C{IDC_DYNAMIC, C::CheckBox, QT_TRANSLATE_NOOP("Resources", "Dynamic"),
      C::TabStop | C::AutoCheck, 153, 21, 47, 10},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Target resource index:"), kLabel, 7,
      49, 76, 8},
    C{IDC_TARGET_INDEX, C::Edit, "", kNumberEdit, 83, 47, 28, 12},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "in .BNM file #:"), kLabel, 119, 49, 50,
      8},
    C{IDC_BANK_NUMBER, C::Edit, "", kNumberEdit, 175, 47, 28, 12},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Param2:"), kLabel, 7, 82, 31, 8},
    C{IDC_PARAM_RANGE, C::Static, QT_TRANSLATE_NOOP("Resources", "Range 0 - 65536 (0.0 - 1.0)"),
      kLabel, 44, 70, 90, 8},
    C{IDC_PARAM2, C::Edit, "", kNumberEdit, 44, 80, 40, 12},
    C{IDC_PARAM2_FRACTION, C::Static, "", kLabel, 87, 82, 39, 8},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Param3:"), kLabel, 7, 98, 31, 8},
    C{IDC_PARAM3, C::Edit, "", kNumberEdit, 44, 95, 40, 12},
    C{IDC_PARAM3_FRACTION, C::Static, "", kLabel, 87, 98, 39, 8},
    C{kOk, C::PushButton, QT_TRANSLATE_NOOP("Resources", "OK"), kDefault, 153, 78, 50, 14},
    C{kCancel, C::PushButton, QT_TRANSLATE_NOOP("Resources", "Cancel"), kButton, 153, 93, 50, 14},
};

constexpr std::array kCdTrackResourceControls{
    C{kOk, C::PushButton, QT_TRANSLATE_NOOP("Resources", "OK"), kDefault, 149, 29, 50, 14},
    C{kCancel, C::PushButton, QT_TRANSLATE_NOOP("Resources", "Cancel"), kButton, 203, 29, 50, 14},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Resource ID:"), kLabel, 7, 7, 47, 8},
    C{IDC_RESOURCE_ID, C::Static, "", kValue, 57, 7, 35, 10},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "Resource type:"), kLabel, 103, 7, 53,
      8},
    C{IDC_RESOURCE_TYPE, C::Static, "", kValue, 161, 7, 92, 10},
    C{IDC_STATIC, C::Static, QT_TRANSLATE_NOOP("Resources", "CD track:"), kLabel, 7, 29, 35, 8},
    C{IDC_CD_TRACK, C::Edit, "", kNumberEdit, 56, 27, 26, 14},
};

// The table of the matches is no control a template can hold: the dialog
// puts it where the sunken frame stands.
constexpr std::array kReplaceFolderControls{
    C{IDC_REPLACE_SUMMARY, C::Static, "", C::NoPrefix, 7, 7, 386, 18},
    C{IDC_REPLACE_TABLE, C::Static, "", C::Sunken, 7, 28, 386, 170},
    C{IDC_KEEP_RATE, C::CheckBox, QT_TRANSLATE_NOOP("Resources", "&Keep rate"),
      C::TabStop | C::AutoCheck, 7, 205, 120, 10},
    C{IDC_MATCH_LOUDNESS, C::CheckBox,
      QT_TRANSLATE_NOOP("Resources", "&Match the loudness of the sound it replaces"),
      C::TabStop | C::AutoCheck, 7, 218, 270, 10},
    C{kOk, C::PushButton, QT_TRANSLATE_NOOP("Resources", "OK"), kDefault, 289, 214, 50, 14},
    C{kCancel, C::PushButton, QT_TRANSLATE_NOOP("Resources", "Cancel"), kButton, 343, 214, 50, 14},
};

constexpr std::array kTemplates{
    DialogTemplate{IDD_HEADER_INFO,
                   QT_TRANSLATE_NOOP("Resources", "Header Info"),
                   233,
                   78,
                   kFont,
                   8,
                   kHeaderInfoControls,
                   {}},
    DialogTemplate{IDD_SAMPLE_RESOURCE, QT_TRANSLATE_NOOP("Resources", "Sound Resource Properties"),
                   320, 165, kFont, 8, kSampleResourceControls, kSampleResourceInit},
    DialogTemplate{IDD_SELECT_SOUND_FILE,
                   QT_TRANSLATE_NOOP("Resources", "Select Sound File"),
                   172,
                   80,
                   kFont,
                   8,
                   kSelectSoundFileControls,
                   {}},
    DialogTemplate{IDD_SOUND_EVENT,
                   QT_TRANSLATE_NOOP("Resources", "Sound Event Properties"),
                   210,
                   114,
                   kFont,
                   8,
                   kSoundEventControls,
                   {}},
    DialogTemplate{IDD_CD_TRACK_RESOURCE,
                   QT_TRANSLATE_NOOP("Resources", "Sound Resource Properties"),
                   260,
                   50,
                   kFont,
                   8,
                   kCdTrackResourceControls,
                   {}},
    DialogTemplate{IDD_REPLACE_FOLDER,
                   QT_TRANSLATE_NOOP("Resources", "Replace from Folder"),
                   400,
                   236,
                   kFont,
                   8,
                   kReplaceFolderControls,
                   {}},
};

} // namespace

std::span<const DialogTemplate> KantelResources::Dialogs() {
    return kTemplates;
}
