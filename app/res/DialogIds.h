// Resource ids of the manager's dialogs (pitch popup, options pages); the language libraries use
// the same ids. Control ids are per dialog.
#pragma once

// The pitch popup
#define IDD_SNDEFT                213
#define IDI_PITCH_HIGHER          214
#define IDI_PITCH_LOWER           215
#define IDC_PITCH_SLIDER          1017
#define IDC_PITCH_RESET           1018
#define IDC_PITCH_LOWER_ICON      1019
#define IDC_PITCH_HIGHER_ICON     1020

// The options sheet: General page
#define IDD_OPTION_GENERAL        207
#define IDC_GEN_BUFFER_SPIN       1014
#define IDC_GEN_BUFFER_LENGTH     1019
#define IDC_GEN_BUFFER_COUNT      1020
#define IDC_GEN_LANGUAGE          1021
#define IDC_GEN_BITS              1022
#define IDC_GEN_SAMPLE_RATE       1023
#define IDC_GEN_CHECK_NOW         1011
#define IDC_GEN_AUTO_UPDATE       1042

// The options sheet: Driver page (also the unused format page's template)
#define IDD_OPTION_DRIVER         208
#define IDC_DRV_INSTANCES         1002
#define IDC_DRV_PROGRESS          1008
#define IDC_DRV_INSTANCE_SPIN     1013
#define IDC_DRV_VOLUME            1044
