#pragma once

/// The makers' web site: the About box's link, Help > On the Web, the exported source's header.
inline constexpr char kWebAddress[] = "https://taveloq.example.org";
