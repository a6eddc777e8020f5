-- The frame of every page of the site: start-up, the language choice, the
-- page head, the header with its top bar (home, languages, login) and the
-- footer. The header of every page is changed here.
--
--   local frame = require("frame")
--   local sv = frame.Start()          -- head and <body>; Init and settings
--   frame.Header{title = "..."}       -- the header of the page
--   ...                               -- the page itself
--   frame.Footer()                    -- footer, end of the page
local frame = {}

-- The pages of the site with the message keys of their names; pages marked
-- admin are listed to administrators only, pages marked owner also to the
-- owners of books, those marked login to visitors who are logged in.
frame.pages = {
  {file = "default.lp", key = "SiteHome"},
  {file = "messages.lp", key = "SiteMessagesTitle"},
  {file = "login.lp", key = "SiteLoginTitle"},
  {file = "msgedit.lp", key = "SiteMsgEditTitle", admin = true},
  {file = "msgorder.lp", key = "SiteMsgOrderTitle", admin = true},
  {file = "diagnostics.lp", key = "SiteDiagnosticsTitle", admin = true},
  {file = "account.lp", key = "SiteAccountTitle", login = true},
  {file = "users.lp", key = "SiteUsersTitle", admin = true},
  {file = "groups.lp", key = "SiteGroupsTitle", admin = true},
  {file = "bookadmin.lp", key = "SiteBookAdminTitle", owner = true},
}

-- The language choices of ?lang=: one language, or the first and then the
-- second.
local choices = {e = true, n = true, en = true, ne = true}
local sv, both

function frame.Msg(key) return sv:GetSystemMsg(key) end

-- The language chosen: ?lang= when it is a choice, else the one kept in the
-- session, else English. A choice is kept in the session only when ?lang=
-- changes it, so a visitor who never chooses costs no session. A page of
-- one language shows the first of two; its links pass the whole choice on.
local function ChooseLanguage()
  local kept = Session.Value("SiteLanguage")
  if not choices[kept] then kept = nil end
  local given = Request.QueryString("lang")
  local choice = kept or "e"
  if choices[given] then
    if given ~= choice then Session.Value("SiteLanguage", given) end
    choice = given
  end
  return choice
end

-- The language tags of the page's <html lang>, by the first language.
local tags = {e = "en", n = "nl"}

-- Writes the page head and opens the body; sets the site up (Init, image and
-- media folders) and chooses the language. options.both: the page shows
-- two languages side by side when asked to. Returns the SysVar.
function frame.Start(options)
  options = options or {}
  both = options.both or false
  sv = qvTome.SysVar()
  -- A notice for every page during maintenance, written by Init, e.g.
  -- sv.MaintenanceMsg = '<p class="qvNotice">The site is read-only today.</p>'
  sv.MaintenanceMsg = ""
  local choice = ChooseLanguage()
  Response.Write('<!DOCTYPE html>\n<html lang="' .. tags[choice:sub(1, 1)] .. '">\n<head>\n' ..
                 '<meta charset="utf-8">\n' ..
                 '<meta name="viewport" content="width=device-width, initial-scale=1">\n' ..
                 '<title>qvTome</title>\n<link rel="stylesheet" href="site.css">\n' ..
                 '<link rel="icon" href="images/mark_book.gif">\n')
  sv:Init("qvtome")
  Response.Write("\n</head>\n<body>\n")
  sv.vImageDir = "images"
  sv.vMediaDir = "/media/"
  frame.choice = choice
  sv.FirstLanguage = choice:sub(1, 1)
  if both and #choice == 2 then sv.SecondLanguage = choice:sub(2, 2) end
  frame.lang = sv.FirstLanguage
  return sv
end

function frame.IsAdmin() return sv:GetMajorGroupID() == "99" end

-- The visitor is logged in and owns a book of the registry.
function frame.OwnsBook()
  if not sv:hasLogin() then return false end
  local owned = qvTome.AspProc():dbGetTable("qvAuthBook", "ID",
                                            "where dbOwnerID=" .. qvTome.SqlText(sv:GetUserID()))
  return qvTome.IsArray(owned)
end

-- Logs in from a posted login form; after a login the page loads again, so
-- that a refresh does not post the password twice.
function frame.TakeLogin()
  sv:Login(true)
  if Request.Form("qvTomeLogin") == "true" and sv:hasLogin() then
    Response.Redirect(sv.ThisURLFull)
  end
end

-- This page with the query params (pairs of name and value) and lang,
-- HTML-encoded for an attribute.
local function Here(params, lang)
  local file = sv.ThisURL:match("[^/]*$")
  local query = {}
  for _, p in ipairs(params) do query[#query + 1] = p[1] .. "=" .. Server.URLEncode(p[2]) end
  query[#query + 1] = "lang=" .. lang
  return Server.HTMLEncode(file .. "?" .. table.concat(query, "&"))
end

local function Link(href, text) return '<a href="' .. href .. '">' .. text .. "</a>" end

local function Languages(params)
  local links = {Link(Here(params, "e"), frame.Msg("SiteLanguageE")),
                 Link(Here(params, "n"), frame.Msg("SiteLanguageN"))}
  if both then
    local pair = frame.lang == "e" and "en" or "ne"
    links[#links + 1] = Link(Here(params, pair), frame.Msg("SiteLanguageBoth"))
  end
  return '    <span class="qvLanguages">\n      ' .. table.concat(links, " |\n      ") ..
         "\n    </span>\n"
end

local function LoginBar()
  local lang = "lang=" .. frame.choice
  if not sv:hasLogin() then
    return '    <span class="qvLogin">' .. Link("login.lp?" .. lang, frame.Msg("SiteLoginTitle")) ..
           "</span>\n"
  end
  -- The name leads to the user's own account page.
  return '    <span class="qvLogin">' ..
         Link("account.lp?" .. lang, Server.HTMLEncode(sv:GetUserName())) .. " |\n      " ..
         Link("login.lp?logout=1&amp;" .. lang, frame.Msg("SiteLogout")) .. "</span>\n"
end

-- The header: the top bar with the link home (not on the home page itself:
-- options.home = false), the language links back to this page (keeping
-- options.params) and the login bar, then the title: options.title written
-- as the page's heading, or a function that writes its own.
function frame.Header(options)
  options = options or {}
  Response.Write('<div class="qvHeader">\n  <nav class="qvTopBar">\n')
  if options.home ~= false then
    local icon = '<img src="' .. sv.vImageDir .. 'mark_book.gif" width="16" height="16" alt="">'
    Response.Write("    " .. Link("default.lp?lang=" .. frame.choice,
                                  icon .. " " .. frame.Msg("SiteHome")) .. "\n")
  end
  Response.Write(Languages(options.params or {}) .. LoginBar() .. "  </nav>\n")
  if type(options.title) == "function" then
    options.title()
  elseif options.title then
    Response.Write("  <h1>" .. options.title .. "</h1>\n")
  end
  Response.Write("</div>\n")
end

-- The pages of the site this visitor may use, each with the address that
-- keeps the language.
function frame.Pages()
  local shown, admin, login, owner = {}, frame.IsAdmin(), sv:hasLogin(), nil
  for _, page in ipairs(frame.pages) do
    if page.owner and not admin and owner == nil then owner = frame.OwnsBook() end
    local allowed = admin or not (page.admin or page.owner) or (page.owner and owner)
    if allowed and (login or not page.login) then
      shown[#shown + 1] = {file = page.file, key = page.key,
                           href = page.file .. "?lang=" .. frame.choice}
    end
  end
  return shown
end

-- The footer (what write writes, else the page foot message) and the end of
-- the page (the line break after it is the page's own).
function frame.Footer(write)
  Response.Write('<div class="qvFooter">')
  if write then write() else Response.Write(frame.Msg("msgPageFoot")) end
  Response.Write("</div>\n</body>\n</html>")
end

return frame
