#pragma once

#include <array>

// The editor's tools, in toolbar order.
enum class AnnotationTool { select, crop, text, line, arrow, rect, ellipse, blur };

inline constexpr std::array<AnnotationTool, 8> allAnnotationTools{
    AnnotationTool::select, AnnotationTool::crop, AnnotationTool::text,    AnnotationTool::line,
    AnnotationTool::arrow,  AnnotationTool::rect, AnnotationTool::ellipse, AnnotationTool::blur};
