// The main dialog's device lists: which names the devices have, and the six combos with the saved
// choices restored.
#include "app/MainDlg.h"

#include "app/AudioDeviceNames.h"
#include "core/LogFile.h"
#include "core/RegSettings.h"
#include "core/RegistryKey.h"

namespace {

constexpr const wchar_t* kSoundMapperKey = L"Software\\Microsoft\\Multimedia\\Sound Mapper";

void AddToCombos(HWND dialog, const int (&comboIds)[kChannelCount], const std::wstring& name)
{
    for (int id : comboIds)
        ::SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

// The first entry that begins with the text, without regard to case; none when nothing matches.
void SelectSaved(HWND dialog, int comboId, const std::wstring& saved)
{
    ::SendDlgItemMessageW(dialog, comboId, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>(saved.c_str()));
}

}  // namespace

void CMainDlg::EnumAudioDevices()
{
    DeviceNamesByKind inputs = ClassifyDeviceNames(WaveInputNames());
    m_mapperInput = inputs.mapper;
    m_virtualInput = inputs.virtualDevice;
    m_physicalInput = inputs.physical;
    DeviceNamesByKind outputs = ClassifyDeviceNames(WaveOutputNames());
    m_mapperOutput = outputs.mapper;
    m_virtualOutput = outputs.virtualDevice;
    m_physicalOutput = outputs.physical;

    CRegistryKey mapper;
    mapper.Create(HKEY_CURRENT_USER, kSoundMapperKey);
    mapper.QueryStringValue(m_preferredInput, L"Record", m_physicalInput.c_str());
    mapper.QueryStringValue(m_preferredOutput, L"Playback", m_physicalOutput.c_str());
}

void CMainDlg::FillDeviceCombos()
{
    const int inputCombos[kChannelCount] = {kChannelControls[0].input, kChannelControls[1].input,
                                            kChannelControls[2].input};
    const int outputCombos[kChannelCount] = {kChannelControls[0].output, kChannelControls[1].output,
                                             kChannelControls[2].output};

    std::wstring defaultInput;
    for (const std::wstring& productName : WaveInputNames()) {
        std::wstring name = ComboDeviceName(productName);
        AddToCombos(m_hWnd, inputCombos, name);
        g_LogFile.Log(L"ADD INPUT DEVICE:%s", name.c_str());
        if (defaultInput.empty() && name.find(Settings::kVirtualDeviceMark) != std::wstring::npos)
            defaultInput = name;
    }
    for (int channel = 0; channel < kChannelCount; ++channel) {
        std::wstring saved;
        GetSettings().GetString(saved, Settings::InputChoice[channel], defaultInput.c_str());
        SelectSaved(m_hWnd, inputCombos[channel], saved);
    }

    for (const std::wstring& productName : WaveOutputNames()) {
        std::wstring name = ComboDeviceName(productName);
        AddToCombos(m_hWnd, outputCombos, name);
        g_LogFile.Log(L"ADD OUTPUT DEVICE:%s", name.c_str());
    }
    for (int channel = 0; channel < kChannelCount; ++channel) {
        std::wstring saved;
        GetSettings().GetString(saved, Settings::OutputChoice[channel], Settings::kDefaultOutputChoice);
        SelectSaved(m_hWnd, outputCombos[channel], saved);
    }
}
