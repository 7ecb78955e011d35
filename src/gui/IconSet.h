#pragma once
// The main window's image list: 28 icons of 16 x 16, looked up by index. They
// are drawn with QPainter at start (also at 32 x 32 for dense screens), so the
// program carries no image files. Input channel commands carry a blue arrow
// into the module, output channel commands an orange arrow out of it.
#include <QIcon>
#include <array>

namespace telvar5 {

class IconSet {
public:
    static constexpr int kCount = 28;
    IconSet();
    // An empty icon for an index outside the list.
    QIcon at(int index) const;

private:
    std::array<QIcon, kCount> icons_;
};

// Indexes of the commands' icons.
namespace icon {
inline constexpr int Help = 10;
inline constexpr int SIstop = 11;
inline constexpr int SOstop = 12;
inline constexpr int SIaddress = 13;
inline constexpr int Exit = 14;
inline constexpr int SIfile = 15;
inline constexpr int SOcyclic = 16;
inline constexpr int SOsingle = 17;
inline constexpr int Open = 18;
inline constexpr int Save = 19;
inline constexpr int DeviceChoice = 20;
inline constexpr int Timer = 21;
inline constexpr int DeviceReset = 22;
inline constexpr int Clear = 23;
inline constexpr int Test = 24;
inline constexpr int DeviceInit = 25;
inline constexpr int Formats = 26;
inline constexpr int ParamFormats = 27;
} // namespace icon

} // namespace telvar5
