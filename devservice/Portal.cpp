#include "devservice/Portal.h"

#include "devservice/Store.h"
#include "devservice/Text.h"

namespace sarndev {

namespace {

Page Html(int status, const std::string& title, const std::string& body) {
    return {status, "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" +
                        MarkupEscape(title) + "</title></head><body>" + body + "</body></html>\n"};
}

}  // namespace

PortalQuery ParsePortalQuery(std::string_view q) {
    PortalQuery result;
    if (!q.empty() && q.front() == '?')
        q.remove_prefix(1);
    constexpr std::string_view kUser = "UserName=";
    constexpr std::string_view kPwd = "&Pwd=";
    if (q.substr(0, kUser.size()) != kUser) {
        return result;
    }
    q.remove_prefix(kUser.size());
    auto at = q.rfind(kPwd);
    if (at == std::string_view::npos) {
        result.userName = PercentDecode(q);
        return result;
    }
    result.userName = PercentDecode(q.substr(0, at));
    std::string_view pwd = q.substr(at + kPwd.size());
    // Anything a browser might add after the digest (a fragment is never sent; another key is).
    if (auto amp = pwd.find('&'); amp != std::string_view::npos)
        pwd = pwd.substr(0, amp);
    result.pwd = PercentDecode(pwd);
    result.complete = true;
    return result;
}

Page PortalPage(Store& store, std::string_view rawQuery, bool classic) {
    const std::string title = classic ? "Sarn资讯门户（旧版）" : "Sarn资讯门户";
    PortalQuery query = ParsePortalQuery(rawQuery);
    std::optional<Account> account;
    if (query.complete) {
        account = store.FindAccount(query.userName);
    }
    if (!account || account->password != query.pwd) {
        return Html(403, title,
                    "<h1 id=\"refused\">用户名或密码错误，无法进入资讯门户。</h1>"
                    "<p>请从Sarn资讯终端重新登录。</p>");
    }
    const std::string name = MarkupEscape(account->loginName);
    return Html(200, title,
                "<h1 id=\"greeting\">欢迎您，<span id=\"user\">" + name +
                    "</span>！</h1><p>今日资讯正在为您准备。</p>");
}

Page ForgetPasswordPage() {
    return Html(200, "找回密码",
                "<h1>找回密码</h1><p>请拨打客服电话或发送邮件，客服人员将为您重置密码。</p>");
}

Page AboutPage() {
    return Html(200, "关于我们", "<h1>关于我们</h1><p>Sarn资讯为订阅用户提供每日资讯服务。</p>");
}

}  // namespace sarndev
