// Vietnamese texts, in the key order of the English table.
#include "l10n/catalogue_tables.h"

const CatalogueRows kCatalogueVi = {
    {"IDS_WIZARD_BACK", "< Quay lại"},
    {"IDS_WIZARD_NEXT", "Tiếp >"},
    {"IDS_WIZARD_FINISH", "Hoàn tất"},
    {"IDS_WIZARD_CANCEL", "Hủy"},
    {"IDS_ACCEPT_CANCEL", "Bạn có thực sự muốn hủy cài đặt không?"},
    {"IDS_TITLE_INSTALLER", "Đang cài đặt cấu hình"},
    {"IDS_PREPARECOPY", "Đang chuẩn bị sao chép..."},
    {"IDS_INSTALL_ERROR", "Lỗi cài đặt"},
    {"IDS_ERROR_NOSOURCE", "Không tìm thấy tệp gói phân phối kelda.efd."},
    {"IDS_ERROR_NOTARGET", "Không hỗ trợ cài đặt mẫu vào thư mục hiện tại."},
    {"IDS_ERROR_NOSPACE", "Không đủ dung lượng trống trong thư mục Temp."},
    {"IDS_CHOOSEDIR_FOLDER", "&Thư mục:"},
    {"IDS_CHOOSEDIR_TITLE", "Chọn thư mục"},
    {"IDR_MAINFRAME", "Đang cài đặt cấu hình"},
    {"IDS_SETUP_EMPTYTARGET", "Hãy chỉ định đường dẫn đúng tới thư mục mẫu."},
    {"IDS_INSTALL_FINISH", "Đã sao chép xong..."},
    {"IDS_ERROR_DAMAGEDSOURCE",
     "Tệp gói phân phối kelda.efd bị hỏng hoặc không dành cho chương trình cài đặt này."},
    {"IDS_DEFPRODUCT", "<Sản phẩm>"},
    {"IDS_DEFPROVIDER", "<Nhà cung cấp>"},
    {"IDS_SUCCESS_FINISH", "Đã cài đặt cấu hình thành công."},
    {"IDS_SUCCESS_OPENDESCR", "Mở mô tả của gói phân phối"},
    {"IDS_PROGRESS_START", "Đang sao chép tệp..."},
    {"IDS_ERROR_FINISH",
     "Đã xảy ra lỗi trong quá trình cài đặt. Quá trình cài đặt đã bị hủy. Thư mục mẫu không bị "
     "thay đổi."},
    {"IDS_CANCEL_FINISH", "Quá trình cài đặt đã bị hủy. Thư mục mẫu không bị thay đổi."},
    {"IDS_BROWSE_SELDIR", "Thư mục đã chọn:"},
    {"IDS_BROWSE_OK", "Chọn"},
    {"IDS_BROWSE_CANCEL", "Hủy"},
    {"IDS_WELCOME_TITLE", "Chào mừng bạn đến với chương trình cài đặt sản phẩm"},
    {"IDS_SETUP_EXISTEDTARGET",
     "Thư mục cài đặt chứa các tệp có thể bị thay đổi trong quá trình cài đặt. Bạn có muốn tiếp "
     "tục không?"},
    {"IDS_DESTINATION_PROMPT",
     "Hãy chỉ định đường dẫn tới thư mục mẫu. Chương trình cài đặt sẽ cài đặt các mẫu và tệp cấu "
     "hình vào thư mục đã chỉ định."},
    {"IDS_TEMPLATE_CATALOG", "Thư mục mẫu:"},
    {"IDS_MSGBOX_YES", "&Có"},
    {"IDS_MSGBOX_NO", "&Không"},
    {"IDS_MSGBOX_OK", "&OK"},
    {"IDS_WELCOME_LINE", "%1 %2 (%3)."},
    {"IDS_WARN_LAUNCHERFILE",
     "Các mẫu đã được cài đặt, nhưng không thể ghi tệp cấu hình %1 của trình khởi chạy: trình khởi "
     "chạy sẽ không tìm thấy thư mục mẫu này."},
    {"IDS_SETUP_COUNTS",
     "Tệp mới: %1. Tệp sẽ được thay thế: %2. Tệp được giữ nguyên (mới hơn hoặc giống nhau): %3."},
    {"IDS_ERROR_SPACEDETAIL", "Thư mục tạm %1: cần %2 MB, còn trống %3 MB."},
    {"IDS_ERROR_NOTSIGNED", "Tệp gói phân phối kelda.efd không được %1 ký nên không thể cài đặt."},
    {"IDS_ERROR_NOTRESTORED",
     "Quá trình cài đặt đã bị hủy. Không thể khôi phục hoàn toàn thư mục mẫu: phiên bản trước của "
     "một số tệp được giữ trong thư mục %1."},
    {"IDS_RECOVERY_DONE", "Một lần cài đặt bị gián đoạn vào %1 đã được hoàn tác."},
    {"IDS_RECOVERY_CHANGED",
     "Một lần cài đặt bị gián đoạn vào %1 đã được hoàn tác, trừ các tệp đã bị thay đổi kể từ đó; "
     "các tệp này được giữ nguyên."},
    {"IDS_RECOVERY_NOTRESTORED",
     "Không thể hoàn tác hoàn toàn một lần cài đặt bị gián đoạn vào %1: phiên bản trước của một số "
     "tệp được giữ trong thư mục %2."},
    {"IDS_RECOVERY_UNREADABLE",
     "Không thể đọc bản ghi của một lần cài đặt bị gián đoạn (%1); bản ghi này được giữ nguyên."},
    {"IDS_RECOVERY_REFUSED",
     "Bản ghi của một lần cài đặt bị gián đoạn (%1) hoặc thư mục phiên bản trước của nó không chỉ "
     "thuộc về bạn (thuộc người dùng khác, mở cho người khác hoặc là liên kết); không có gì được "
     "thực hiện với nó."},
    {"IDS_RECOVERY_LEFTALONE", "Được giữ nguyên:"},
    {"IDS_NOTE_STAGINGELSEWHERE",
     "Trong khi cài đặt, các phiên bản trước của những tệp bị thay thế được giữ trong thư mục tạm "
     "%1, vì không thể tạo thư mục riêng trên ổ đĩa của thư mục mẫu."},
    {"IDS_INSTALL_BUSY",
     "Một tiến trình cài đặt khác đang cài vào thư mục mẫu này. Hãy thử lại khi tiến trình đó hoàn "
     "tất."},
    {"IDS_ERROR_NOTWRITABLE",
     "Không thể tạo thư mục mẫu hoặc ghi vào thư mục đó. Hãy chỉ định thư mục khác."},
    {"IDS_BROWSE_BUTTON", "Duyệt"},
    {"IDS_OPEN_FAILED", "Không thể mở tài liệu mô tả: %1"},
    {"IDS_PLAN_NEW", "mới"},
    {"IDS_PLAN_UPDATE", "cập nhật"},
    {"IDS_PLAN_KEEP", "giữ"},
    {"IDS_PLAN_BLOCKED", "bị chặn"},
    {"IDS_PLAN_SUMMARY", "Mới: %1, cần cập nhật: %2, giữ nguyên: %3, bị chặn: %4; sẽ ghi %5 byte."},
    {"IDS_ERROR_LINEBREAK",
     "Tên thư mục mẫu chứa ký tự xuống dòng, ký tự về đầu dòng "
     "hoặc ký tự NUL mà tệp thiết lập của trình khởi chạy không "
     "thể lưu. Hãy chỉ định thư mục khác."},
    {"IDS_ERROR_DISPLAYLOST", "Đã mất kết nối với màn hình."},
    {"IDS_ERROR_TEMPUNUSABLE", "Không thể sử dụng thư mục tạm."},
};
