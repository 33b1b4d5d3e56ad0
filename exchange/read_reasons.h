// Why a file could not be read, in words for the agent (UTF-8). The import
// dialog puts the file's name before them, so none names the file.
#pragma once

namespace vantorel::exchange::reasons {

inline constexpr const char* kCannotOpen = "无法打开文件（文件不存在或没有读取权限）";
inline constexpr const char* kCorruptZip = "文件已损坏或不完整（zip 格式错误）";
inline constexpr const char* kCorruptSheet = "文件已损坏或不完整（工作表内容有误）";
inline constexpr const char* kCorruptXls = "文件已损坏或不完整（xls 格式错误）";
inline constexpr const char* kPassword = "工作簿有密码保护，请先在 Excel 中取消密码后再导入";
inline constexpr const char* kNotWorkbook = "文件内容不是 Excel 工作簿（扩展名与内容不符）";
inline constexpr const char* kNoSuchSheet = "工作簿中没有这个工作表";
inline constexpr const char* kEmptySheet = "工作表是空的";
inline constexpr const char* kUnknownEncoding = "无法识别文件的字符编码";
inline constexpr const char* kUnpackedTooLarge = "解压后超过 1 GiB";
inline constexpr const char* kRatioTooHigh = "压缩比异常（超过 100 倍）";
inline constexpr const char* kFileTooLarge = "文件超过 1 GiB";
inline constexpr const char* kTooManyRows = "超过 1 000 000 行";
inline constexpr const char* kTooManyColumns = "超过 16 384 列";
inline constexpr const char* kMergeTooLarge = "合并单元格的范围过大";
inline constexpr const char* kCancelled = "已取消";

} // namespace vantorel::exchange::reasons
