-- wrk script: each request is the client's search call for a random one-word keyword.
--   KEYWORDS=file wrk -s bench/service/search.lua http://127.0.0.1:PORT/qvodabmservice.dll/soap/IyxService
local words = {}
for line in io.lines(os.getenv("KEYWORDS")) do words[#words + 1] = line end

local head = '<?xml version="1.0"?>\r\n<SOAP-ENV:Envelope'
  .. ' xmlns:SOAP-ENV="http://schemas.xmlsoap.org/soap/envelope/"'
  .. ' xmlns:xsd="http://www.w3.org/2001/XMLSchema"'
  .. ' xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"'
  .. ' xmlns:SOAP-ENC="http://schemas.xmlsoap.org/soap/encoding/">'
  .. '<SOAP-ENV:Body xmlns:NS1="urn:yxServiceIntf-IyxService"'
  .. ' SOAP-ENV:encodingStyle="http://schemas.xmlsoap.org/soap/encoding/">'
  .. '<NS1:search><SKeyWord xsi:type="xsd:string">'
local tail = '</SKeyWord><uName xsi:type="xsd:string"></uName>'
  .. '<uPass xsi:type="xsd:string"></uPass></NS1:search></SOAP-ENV:Body></SOAP-ENV:Envelope>'
local headers = { ["Content-Type"] = "application/x-www-form-urlencoded" }

local thread_id = 0
setup = function(thread)
  thread:set("id", thread_id)
  thread_id = thread_id + 1
end

init = function()
  math.randomseed(1211 + id)
end

request = function()
  return wrk.format("POST", nil, headers, head .. words[math.random(#words)] .. tail)
end

response = function(status, hdrs, body)
  if status ~= 200 then error("status " .. status) end
end
