// The tests name the setup's resources (IDS_..., IDC_..., IDR_...), but the
// numbers behind the names are fixed: a test that used only the names would
// follow a renumbered resource, so the numbers are checked here, when the
// tests are built. (The message texts are keyed by number as well.)
#include "resource_ids.h"

static_assert(IDS_CAPTION == 108 && IDS_RESTART_QUESTION == 110 && IDS_SETUP_FAILED == 111 &&
                  IDS_DIRECTX_QUESTION == 112 && IDS_NO_TEMP_SPACE == 113 && IDS_DIRECTX_MISSING == 116 &&
                  IDS_SETUP_COMPLETE == 117 && IDS_PRODUCT_RUNNING == 118 && IDS_SETUP_ABORTED == 120 &&
                  IDS_INVALID_FOLDER == 121 && IDS_NO_DEST_SPACE == 122 && IDS_NOT_ADMINISTRATOR == 123,
              "message numbers");
static_assert(IDD_WAIT == 110 && IDD_FOLDER == 113, "dialog template numbers");
static_assert(IDC_FOLDER_EDIT == 1005 && IDC_FOLDER_BROWSE == 1006, "folder dialog control numbers");
static_assert(RT_PAYLOAD == 1001 && IDR_PAYLOAD_WMF == 203 && IDR_PAYLOAD_DIVX == 205 && IDR_PAYLOAD_MAIN == 207,
              "payload type and numbers");
